#!/usr/bin/env python3
"""Draws the art of every window and the desktop icons: window and button
icons, the main window's banner, the animations and the PNG icons of the
hicolor theme.

Plain Python, no imaging library: every picture is drawn into an RGBA pixel
list and written as .ico (BMP entries with AND masks), .bmp (24 bits per
pixel), .png or animated .gif (own LZW encoder).  The output is committed
under forms/ and packaging/icons/; run this again only to change the art:

    python3 tools/mkart/mkart.py [ROOT]     # ROOT: the repository (default)
"""
import math
import os
import struct
import sys
import zlib

# --- canvas -----------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [fill] * (w * h)

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def get(self, x, y):
        return self.px[y * self.w + x]

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y * self.w + x] = c

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.px[y * self.w + x] = c

    def ring(self, cx, cy, r0, r1, c, a0=0.0, a1=360.0):
        for y in range(self.h):
            for x in range(self.w):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                d = math.hypot(dx, dy)
                if r0 <= d <= r1:
                    a = math.degrees(math.atan2(-dy, dx)) % 360
                    if (a0 <= a <= a1) if a0 <= a1 else (a >= a0 or a <= a1):
                        self.px[y * self.w + x] = c

    def line(self, x0, y0, x1, y1, c, width=1.0):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        r = width / 2.0
        for i in range(steps + 1):
            t = i / steps
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            for yy in range(int(y - r), int(y + r) + 1):
                for xx in range(int(x - r), int(x + r) + 1):
                    if (xx + 0.5 - x) ** 2 + (yy + 0.5 - y) ** 2 <= r * r + 0.25:
                        self.set(xx, yy, c)

    def poly(self, pts, c):
        """Even-odd fill of a polygon, pixel centres."""
        for y in range(self.h):
            yc = y + 0.5
            xs = []
            for i in range(len(pts)):
                (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % len(pts)]
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(self.w):
                    if xs[i] <= x + 0.5 < xs[i + 1]:
                        self.px[y * self.w + x] = c

    def text(self, s, x, y, c, scale=1):
        for ch in s:
            glyph = FONT.get(ch)
            if glyph is None:
                x += 4 * scale
                continue
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == '#':
                        self.rect(x + gx * scale, y + gy * scale,
                                  x + (gx + 1) * scale, y + (gy + 1) * scale, c)
            x += (len(glyph[0]) + 1) * scale
        return x


# A 5 x 7 pixel font for the few letters the banner needs.
FONT = {
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'D': ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    'I': ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    'L': ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    'O': [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'Q': [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    'R': ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    'S': [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    'X': ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    'Z': ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    '9': [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
}

# --- writers ----------------------------------------------------------------

def bmp_entry(cv, bpp, palette=None):
    """A BMP image as an icon stores it: header with doubled height, XOR
    bitmap bottom-up, then the 1-bit AND mask (1 = transparent)."""
    w, h = cv.w, cv.h
    rows = []
    if bpp == 32:
        for y in reversed(range(h)):
            rows.append(b''.join(struct.pack('BBBB', p[2], p[1], p[0], p[3])
                                 for p in (cv.get(x, y) for x in range(w))))
    elif bpp == 4:
        stride = ((w * 4 + 31) // 32) * 4
        for y in reversed(range(h)):
            idx = [nearest(palette, cv.get(x, y)) if cv.get(x, y)[3] else 0 for x in range(w)]
            row = bytearray(stride)
            for x in range(w):
                row[x // 2] |= idx[x] << (0 if x % 2 else 4)
            rows.append(bytes(row))
    else:
        raise ValueError(bpp)
    mstride = ((w + 31) // 32) * 4
    mask = []
    for y in reversed(range(h)):
        row = bytearray(mstride)
        for x in range(w):
            if cv.get(x, y)[3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask.append(bytes(row))
    pal = b''
    ncol = 0
    if bpp == 4:
        ncol = 16
        pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in palette)
    xor = b''.join(rows)
    andm = b''.join(mask)
    hdr = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, bpp, 0, len(xor) + len(andm), 0, 0, ncol, 0)
    return hdr + pal + xor + andm, ncol


def write_ico(path, images):
    """images: list of (canvas, bpp, palette)."""
    entries = [bmp_entry(cv, bpp, pal) for cv, bpp, pal in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (cv, bpp, _), (data, ncol) in zip(images, entries):
        out += struct.pack('<BBBBHHII', cv.w % 256, cv.h % 256, ncol % 256, 0, 1, bpp, len(data), offset)
        offset += len(data)
    out += b''.join(d for d, _ in entries)
    with open(path, 'wb') as f:
        f.write(out)


def write_bmp24(path, cv):
    stride = ((cv.w * 3 + 3) // 4) * 4
    data = bytearray()
    for y in reversed(range(cv.h)):
        row = bytearray()
        for x in range(cv.w):
            r, g, b, _ = cv.get(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        data += row
    hdr = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    with open(path, 'wb') as f:
        f.write(hdr + info + data)


def lzw(indices, min_size):
    clear, end = 1 << min_size, (1 << min_size) + 1
    out, bits, nbits = bytearray(), 0, 0
    size = min_size + 1

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    table = {(i,): i for i in range(clear)}
    nxt = end + 1
    emit(clear)
    cur = ()
    for i in indices:
        cand = cur + (i,)
        if cand in table:
            cur = cand
            continue
        emit(table[cur])
        if nxt < 4096:
            table[cand] = nxt
            nxt += 1
            if nxt > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear)
            table = {(k,): k for k in range(clear)}
            nxt = end + 1
            size = min_size + 1
        cur = (i,)
    if cur:
        emit(table[cur])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def write_gif(path, frames, delay_cs, loops):
    """frames: canvases sharing at most 256 colours; loops 0 = forever."""
    colours = []
    lookup = {}
    for cv in frames:
        for p in cv.px:
            rgb = p[:3]
            if rgb not in lookup:
                lookup[rgb] = len(colours)
                colours.append(rgb)
    assert len(colours) <= 256, len(colours)
    bits = max(1, (len(colours) - 1).bit_length())
    table = colours + [(0, 0, 0)] * ((1 << bits) - len(colours))
    w, h = frames[0].w, frames[0].h
    out = bytearray(b'GIF89a')
    out += struct.pack('<HHBBB', w, h, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    out += b''.join(bytes(c) for c in table)
    out += b'\x21\xFF\x0BNETSCAPE2.0\x03\x01' + struct.pack('<H', loops) + b'\x00'
    min_size = max(2, bits)
    for cv in frames:
        out += b'\x21\xF9\x04\x04' + struct.pack('<H', delay_cs) + b'\x00\x00'
        out += b'\x2C' + struct.pack('<HHHHB', 0, 0, w, h, 0)
        data = lzw([lookup[p[:3]] for p in cv.px], min_size)
        out.append(min_size)
        for i in range(0, len(data), 255):
            chunk = data[i:i + 255]
            out.append(len(chunk))
            out += chunk
        out.append(0)
    out.append(0x3B)
    with open(path, 'wb') as f:
        f.write(out)

# --- palette ----------------------------------------------------------------

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def nearest(pal, c):
    return min(range(len(pal)), key=lambda i: sum((pal[i][k] - c[k]) ** 2 for k in range(3)))


def rgba(r, g, b, a=255):
    return (r, g, b, a)

BLACK, WHITE = rgba(0, 0, 0), rgba(255, 255, 255)
RED, DARKRED = rgba(255, 0, 0), rgba(128, 0, 0)
GREEN, BLUE, NAVY = rgba(0, 160, 0), rgba(0, 64, 200), rgba(0, 0, 128)
YELLOW, GREY, DGREY = rgba(255, 255, 0), rgba(192, 192, 192), rgba(96, 96, 96)
ORANGE = rgba(255, 128, 0)

# --- pictures ---------------------------------------------------------------

def tower(cv, cx, base, top, c, waves=True, wave_c=RED, scale=1.0):
    """A lattice radio mast with waves from its tip."""
    half = (base - top) * 0.28
    cv.line(cx, top, cx - half, base, c, 1.5 * scale)
    cv.line(cx, top, cx + half, base, c, 1.5 * scale)
    n = 4
    for i in range(1, n):
        y = top + (base - top) * i / n
        dx = half * i / n
        cv.line(cx - dx, y, cx + dx, y, c, 1.0 * scale)
    cv.disc(cx, top, 1.8 * scale, wave_c)
    if waves:
        for r in (5 * scale, 9 * scale):
            cv.ring(cx, top, r - 0.8 * scale, r + 0.6 * scale, wave_c, 20, 70)
            cv.ring(cx, top, r - 0.8 * scale, r + 0.6 * scale, wave_c, 110, 160)


def window_icon():
    cv = Canvas(32, 32)
    cv.disc(16, 16, 15.5, rgba(0, 0, 128))
    tower(cv, 16, 28, 9, WHITE, wave_c=YELLOW)
    return cv


def arrow_icon(right):
    cv = Canvas(32, 32)
    cv.disc(16, 16, 15, rgba(0, 128, 0))
    pts = [(6, 13), (18, 13), (18, 6), (27, 16), (18, 26), (18, 19), (6, 19)]
    if not right:
        pts = [(32 - x, y) for x, y in pts]
    cv.poly(pts, WHITE)
    return cv


def mic_icon(on):
    cv = Canvas(32, 32)
    body = RED if on else DGREY
    cv.disc(16, 10, 6, body)
    cv.rect(10, 10, 22, 17, body)
    cv.disc(16, 17, 6, body)
    cv.ring(16, 16, 8, 9.5, BLACK, 180, 360)
    cv.rect(15, 25, 17, 29, BLACK)
    cv.rect(10, 29, 22, 31, BLACK)
    if not on:
        cv.line(5, 5, 27, 27, rgba(200, 0, 0), 3)
    return cv


def info_icon():
    cv = Canvas(32, 32)
    cv.disc(16, 16, 15, BLUE)
    cv.disc(16, 8.5, 2.5, WHITE)
    cv.rect(14, 13, 18, 25, WHITE)
    cv.rect(12, 24, 20, 26, WHITE)
    return cv


def help_icon(size):
    cv = Canvas(size, size)
    s = size / 32.0
    cv.disc(16 * s, 16 * s, 15 * s, ORANGE)
    cv.ring(16 * s, 12 * s, 4 * s, 7 * s, WHITE, 315, 200)
    cv.rect(int(14.5 * s), int(16 * s), int(17.5 * s), int(21 * s), WHITE)
    cv.disc(16 * s, 25 * s, 2 * s, WHITE)
    return cv


def exit_icon():
    cv = Canvas(32, 32)
    cv.disc(16, 16, 15, rgba(160, 0, 0))
    cv.ring(16, 17, 7, 9.5, WHITE, 120, 60)
    cv.rect(14, 5, 18, 17, WHITE)
    return cv


def banner():
    w, h = 274, 51
    cv = Canvas(w, h)
    for y in range(h):
        t = y / (h - 1)
        cv.rect(0, y, w, y + 1, rgba(int(0 + 30 * t), int(40 + 60 * t), int(120 + 100 * t)))
    tower(cv, 24, 49, 19, WHITE, wave_c=YELLOW, scale=1.6)
    x = cv.text("RADIOSALA", 52, 9, WHITE, scale=3)
    cv.text("ZZ9XQ", 54, 36, YELLOW, scale=1)
    for i in range(0, x - 52, 4):
        cv.rect(52 + i, 33, 54 + i, 34, YELLOW)
    return cv


def mast_frames():
    frames = []
    sky = rgba(255, 255, 255)
    for f in range(10):
        cv = Canvas(35, 45, sky)
        tower(cv, 17.5, 43, 14, NAVY, waves=False)
        for k in range(3):
            r = 3 + ((f + k * 10 / 3) % 10) * 1.4
            cv.ring(17.5, 14, r - 0.7, r + 0.7, RED, 20, 160)
        frames.append(cv)
    return frames


def wave_frames():
    frames = []
    back = rgba(0, 0, 64)
    for f in range(19):
        cv = Canvas(280, 120, back)
        for x in range(0, 280, 20):
            cv.rect(x, 0, x + 1, 120, rgba(0, 64, 0))
        for y in range(0, 120, 20):
            cv.rect(0, y, 280, y + 1, rgba(0, 64, 0))
        phase = 2 * math.pi * f / 19
        prev = None
        for x in range(280):
            env = 0.6 + 0.4 * math.sin(2 * math.pi * x / 280 * 2 - phase)
            y = 60 - 40 * env * math.sin(2 * math.pi * x / 35 - phase * 2)
            if prev is not None:
                cv.line(x - 1, prev, x, y, rgba(0, 255, 0), 2)
            prev = y
        cv.text("ZZ9XQ", 8, 106, YELLOW, scale=1)
        frames.append(cv)
    return frames


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


# --- pictures of the secondary windows and the desktop ------------------------

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


def draw_main_window(out):
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, 'radiosala.ico'), [(window_icon(), 4, VGA16)])
    write_ico(os.path.join(out, 'abre.ico'), [(arrow_icon(True), 32, None)])
    write_ico(os.path.join(out, 'fecha.ico'), [(arrow_icon(False), 32, None)])
    write_ico(os.path.join(out, 'liga_ptt.ico'), [(mic_icon(True), 32, None)])
    write_ico(os.path.join(out, 'desliga_ptt.ico'), [(mic_icon(False), 32, None)])
    write_ico(os.path.join(out, 'sobre.ico'), [(info_icon(), 32, None)])
    write_ico(os.path.join(out, 'ajuda.ico'), [(help_icon(s), 32, None) for s in (16, 32, 48)])
    write_ico(os.path.join(out, 'encerra.ico'), [(exit_icon(), 32, None)])
    write_bmp24(os.path.join(out, 'banner.bmp'), banner())
    write_gif(os.path.join(out, 'mastro.gif'), mast_frames(), 10, 9999)
    write_gif(os.path.join(out, 'onda.gif'), wave_frames(), 7, 0)


def draw_secondary_windows(forms):
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


def draw_desktop_icons(icons):
    os.makedirs(icons, exist_ok=True)
    for size in (32, 48, 128):
        write_png(os.path.join(icons, 'radiosala-%d.png' % size), app_icon(size))


def main():
    default_root = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
    root = sys.argv[1] if len(sys.argv) > 1 else default_root
    draw_main_window(os.path.join(root, 'forms', 'radiosala'))
    draw_secondary_windows(os.path.join(root, 'forms'))
    draw_desktop_icons(os.path.join(root, 'packaging', 'icons'))


if __name__ == '__main__':
    main()
