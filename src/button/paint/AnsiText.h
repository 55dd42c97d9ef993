#pragma once

// Captions go to DrawTextA, and font names to lfFaceName, as 8-bit text in
// Windows-1252. Latin-1 covers the Portuguese letters; the 0x80-0x9F block
// holds the typographic marks (quotes, dashes, euro sign). The text is
// composed first (a letter typed as base and accent becomes the one
// accented letter); any other character becomes one '?'. So each byte out
// is one character in: a cut at any byte splits none.

#include <QByteArray>
#include <QString>

namespace kxpaint {

inline QByteArray toWindows1252(const QString &text)
{
    // Unicode code points of 0x80..0x9F in Windows-1252 (0 = unassigned).
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

    const QString composed = text.normalized(QString::NormalizationForm_C);
    // At most one byte per UTF-16 unit: written in place, cut to length.
    QByteArray out(composed.size(), Qt::Uninitialized);
    char *to = out.data();
    for (qsizetype at = 0; at < composed.size(); ++at) {
        const char16_t u = composed.at(at).unicode();
        if (QChar::isHighSurrogate(u) && at + 1 < composed.size() && composed.at(at + 1).isLowSurrogate())
            ++at; // one character beyond the 16-bit range: one '?'
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *to++ = static_cast<char>(u);
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (kHigh[i] != 0 && kHigh[i] == u) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        *to++ = mapped;
    }
    out.truncate(to - out.constData());
    return out;
}

} // namespace kxpaint
