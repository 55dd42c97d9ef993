#!/usr/bin/env python3
"""Draws the art of the About, help and command-list windows and the
desktop icons: window and button icons, the About animation and the PNG
icons of the hicolor theme.

Reuses the canvas and writers of tools/mkart (plain Python, no imaging
library). The output is committed; run this again only to change the art:

    python3 src/windows/art/draw_art.py          # from the repository root
"""
import math
import os
import struct
import sys
import zlib

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'mkart'))
import mkart  # noqa: E402
from mkart import (Canvas, rgba, write_ico, write_gif, tower, VGA16, BLACK, WHITE,  # noqa: E402
                   RED, GREEN, BLUE, NAVY, YELLOW, GREY, DGREY, ORANGE)


def bmp8_entry(cv):
    """An 8-bit icon image: up to 256 palette colours, AND mask for alpha."""
    w, h = cv.w, cv.h
    colours = []
    lookup = {}
    for p in cv.px:
        rgb = p[:3] if p[3] else (0, 0, 0)
        if rgb not in lookup:
            lookup[rgb] = len(colours)
            colours.append(rgb)
    assert len(colours) <= 256
    colours += [(0, 0, 0)] * (256 - len(colours))
    stride = ((w * 8 + 31) // 32) * 4
    rows = []
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            p = cv.get(x, y)
            row[x] = lookup[p[:3] if p[3] else (0, 0, 0)]
        rows.append(bytes(row))
    mstride = ((w + 31) // 32) * 4
    mask = []
    for y in reversed(range(h)):
        row = bytearray(mstride)
        for x in range(w):
            if cv.get(x, y)[3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask.append(bytes(row))
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in colours)
    xor, andm = b''.join(rows), b''.join(mask)
    hdr = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 8, 0, len(xor) + len(andm), 0, 0, 256, 0)
    return hdr + pal + xor + andm


def write_ico8(path, cv):
    data = bmp8_entry(cv)
    out = struct.pack('<HHH', 0, 1, 1)
    out += struct.pack('<BBBBHHII', cv.w, cv.h, 0, 0, 1, 8, len(data), 22)
    with open(path, 'wb') as f:
        f.write(out + data)


def write_png(path, cv):
    raw = b''.join(b'\x00' + b''.join(bytes(p) for p in cv.px[y * cv.w:(y + 1) * cv.w])
                   for y in range(cv.h))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', cv.w, cv.h, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9))
    png += chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)

# --- pictures ---------------------------------------------------------------

def globe_icon():
    """visitar_servidor: a globe with meridians."""
    cv = Canvas(32, 32)
    cv.disc(16, 16, 14.5, rgba(0, 96, 192))
    cv.ring(16, 16, 13.5, 14.5, NAVY)
    for rx in (5.0, 10.0):
        for y in range(32):
            dy = (y + 0.5 - 16) / 14.0
            if abs(dy) < 1:
                dx = rx * math.sqrt(1 - dy * dy)
                cv.set(int(16 + dx), y, WHITE)
                cv.set(int(16 - dx), y, WHITE)
    cv.rect(2, 15, 30, 17, WHITE)
    cv.rect(15, 2, 17, 30, WHITE)
    cv.rect(5, 9, 27, 10, WHITE)
    cv.rect(5, 22, 27, 23, WHITE)
    return cv


def back_icon():
    """retornar / retornas: a curved arrow pointing back."""
    cv = Canvas(32, 32)
    cv.disc(16, 16, 15, rgba(0, 128, 0))
    cv.ring(17, 18, 5, 8.5, WHITE, 270, 90)
    cv.rect(10, 9, 18, 13, WHITE)
    cv.poly([(4, 11), (11, 4), (11, 18)], WHITE)
    return cv


def document_icon(size=32):
    """ler_pdf and the command-list window: a page with text lines."""
    cv = Canvas(size, size)
    s = size / 32.0
    cv.rect(int(6 * s), int(2 * s), int(24 * s), int(30 * s), WHITE)
    cv.rect(int(6 * s), int(2 * s), int(7 * s), int(30 * s), BLACK)
    cv.rect(int(23 * s), int(8 * s), int(24 * s), int(30 * s), BLACK)
    cv.rect(int(6 * s), int(29 * s), int(24 * s), int(30 * s), BLACK)
    cv.rect(int(6 * s), int(2 * s), int(18 * s), int(3 * s), BLACK)
    cv.poly([(18 * s, 2 * s), (24 * s, 8 * s), (18 * s, 8 * s)], GREY)
    for i, y in enumerate(range(11, 28, 3)):
        c = RED if i == 0 else NAVY
        cv.rect(int(9 * s), int(y * s), int((21 - 4 * (i % 2)) * s), int((y + 1) * s), c)
    return cv


def about_icon():
    """The About window: the station's mast on a yellow disc."""
    cv = Canvas(32, 32)
    cv.disc(16, 16, 15.5, rgba(255, 255, 0))
    tower(cv, 16, 28, 9, NAVY, wave_c=RED)
    return cv


def app_icon(size):
    """The desktop icon: mast over a navy disc, any size."""
    cv = Canvas(size, size)
    s = size / 32.0
    cv.disc(16 * s, 16 * s, 15.5 * s, rgba(0, 0, 128))
    tower(cv, 16 * s, 28 * s, 9 * s, WHITE, wave_c=YELLOW, scale=s)
    return cv


def operator_frames():
    """About animation, 120 x 263: a mast sending waves over an operator at
    a microphone; the waves travel upwards over seven frames."""
    frames = []
    sky = rgba(255, 255, 255)
    for f in range(7):
        cv = Canvas(120, 263, sky)
        cv.rect(0, 240, 120, 263, rgba(0, 128, 0))
        tower(cv, 60, 150, 40, NAVY, waves=False, scale=2.0)
        for k in range(3):
            r = 6 + ((f + k * 7 / 3) % 7) * 6
            cv.ring(60, 40, r - 1.2, r + 1.2, RED, 25, 155)
        # the operator: head, body, desk and microphone
        cv.disc(44, 186, 9, rgba(224, 176, 128))
        cv.rect(34, 196, 54, 232, BLUE)
        cv.rect(24, 224, 100, 230, rgba(128, 64, 0))
        cv.rect(26, 230, 30, 240, rgba(128, 64, 0))
        cv.rect(94, 230, 98, 240, rgba(128, 64, 0))
        cv.rect(72, 204, 74, 224, DGREY)
        cv.disc(73, 202, 4, BLACK if f % 2 else RED)
        cv.text("ZZ9XQ", 44, 250, YELLOW)
        frames.append(cv)
    return frames


def main():
    forms = os.path.join(ROOT, 'forms')
    about = os.path.join(forms, 'sobre_auto')
    help_ = os.path.join(forms, 'Ajudas')
    commands = os.path.join(forms, 'Comandos')
    for d in (about, help_, commands):
        os.makedirs(d, exist_ok=True)
    write_ico(os.path.join(about, 'sobre_auto.ico'), [(about_icon(), 4, VGA16)])
    write_ico(os.path.join(about, 'visitar_servidor.ico'), [(globe_icon(), 32, None)])
    write_ico(os.path.join(about, 'retornar.ico'), [(back_icon(), 32, None)])
    write_gif(os.path.join(about, 'operador.gif'), operator_frames(), 15, 0)
    write_ico(os.path.join(help_, 'ler_pdf.ico'), [(document_icon(), 32, None)])
    write_ico(os.path.join(help_, 'retornas.ico'), [(back_icon(), 32, None)])
    write_ico8(os.path.join(commands, 'Comandos.ico'), document_icon())
    icons = os.path.join(ROOT, 'packaging', 'icons')
    os.makedirs(icons, exist_ok=True)
    for size in (32, 48, 128):
        write_png(os.path.join(icons, 'radiosala-%d.png' % size), app_icon(size))


if __name__ == '__main__':
    main()
