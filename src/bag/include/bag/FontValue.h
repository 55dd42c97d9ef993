#pragma once

#include <QString>
#include <QtGlobal>

namespace bag {

// A stored font object: the fields of the standard font's persisted stream.
// Values are kept exactly as stored (the weight and the bold bit may disagree;
// unknown attribute bits are kept) so that a bag is written back unchanged.
struct FontValue
{
    enum Attribute : quint8 {
        Bold = 0x01,
        Italic = 0x02,
        Underline = 0x04,
        Strikethrough = 0x08,
    };
    static constexpr quint8 KnownAttributes = Bold | Italic | Underline | Strikethrough;

    QString name;          // stored in the ANSI code page (Windows-1252), at most 255 bytes
    quint32 size = 0;      // ten-thousandths of a point: 9 pt is 90000
    quint16 weight = 400;  // 400 regular, 700 bold
    quint16 charset = 0;
    quint8 attributes = 0; // Attribute bits
    quint8 version = 1;

    bool isBold() const { return attributes & Bold; }
    bool isItalic() const { return attributes & Italic; }
    bool isUnderline() const { return attributes & Underline; }
    bool isStrikethrough() const { return attributes & Strikethrough; }
    void setAttribute(Attribute a, bool on)
    {
        attributes = on ? quint8(attributes | a) : quint8(attributes & ~a);
    }

    double pointSize() const { return size / 10000.0; }
    // Nearest ten-thousandth of a point.
    static quint32 sizeFromPoints(double points);

    friend bool operator==(const FontValue &, const FontValue &) = default;
};

} // namespace bag
