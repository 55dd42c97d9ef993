#include "AnsiCodePage.h"

namespace bag::detail {

namespace {

// 0x80..0x9F; 0 marks the unassigned bytes, which map to themselves.
constexpr char16_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t decodeByte(quint8 b)
{
    if (b >= 0x80 && b < 0xA0 && HighControls[b - 0x80] != 0)
        return HighControls[b - 0x80];
    return char16_t(b);
}

} // namespace

QString fromAnsi(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out.append(QChar(decodeByte(quint8(c))));
    return out;
}

std::optional<QByteArray> toAnsi(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(char(u));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i) {
            const char16_t mapped = HighControls[i] ? HighControls[i] : char16_t(0x80 + i);
            if (mapped == u) {
                found = 0x80 + i;
                break;
            }
        }
        if (found < 0)
            return std::nullopt;
        out.append(char(found));
    }
    return out;
}

} // namespace bag::detail
