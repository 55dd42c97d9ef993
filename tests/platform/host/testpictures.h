#pragma once
// Small picture files built byte by byte, for the loader and pointer tests.

#include <QByteArray>
#include <QtEndian>

namespace testpictures {

inline void put16(QByteArray &b, int v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

inline void put32(QByteArray &b, quint32 v)
{
    put16(b, int(v & 0xFFFF));
    put16(b, int(v >> 16));
}

// A 16 x 16, 32 bpp icon (type 1) or cursor (type 2, hot spot in the
// directory entry), every pixel the opaque colour (r, g, b).
inline QByteArray iconFile(int type = 1, int hotX = 0, int hotY = 0, int r = 255, int g = 0, int b = 0)
{
    const int size = 16;
    const int xorBytes = size * size * 4;
    const int andBytes = size * 4; // 16 bits padded to 32 per row
    QByteArray f;
    put16(f, 0);
    put16(f, type);
    put16(f, 1);
    f.append(char(size)).append(char(size)).append(char(0)).append(char(0));
    put16(f, type == 2 ? hotX : 1);
    put16(f, type == 2 ? hotY : 32);
    put32(f, quint32(40 + xorBytes + andBytes));
    put32(f, 22);
    put32(f, 40);
    put32(f, size);
    put32(f, size * 2);
    put16(f, 1);
    put16(f, 32);
    put32(f, 0);
    put32(f, quint32(xorBytes + andBytes));
    put32(f, 0);
    put32(f, 0);
    put32(f, 0);
    put32(f, 0);
    for (int i = 0; i < size * size; ++i)
        f.append(char(b)).append(char(g)).append(char(r)).append(char(255));
    f.append(QByteArray(andBytes, '\0'));
    return f;
}

// A 2 x 2, 24 bpp bitmap file.
inline QByteArray bitmapFile()
{
    QByteArray f("BM");
    put32(f, 14 + 40 + 16);
    put32(f, 0);
    put32(f, 54);
    put32(f, 40);
    put32(f, 2);
    put32(f, 2);
    put16(f, 1);
    put16(f, 24);
    put32(f, 0);
    put32(f, 16);
    put32(f, 0);
    put32(f, 0);
    put32(f, 0);
    put32(f, 0);
    for (int row = 0; row < 2; ++row)
        f.append(QByteArray::fromHex("0000ff00ff000000")); // red, green, padding
    return f;
}

} // namespace testpictures
