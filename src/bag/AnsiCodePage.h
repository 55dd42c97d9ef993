#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace bag::detail {

// Windows-1252, the ANSI code page font names are stored in. Five bytes
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) are unassigned; they decode to the C1
// control of the same value so that any stored name survives a round trip.
QString fromAnsi(QByteArrayView bytes);
// std::nullopt when a character has no byte in the code page.
std::optional<QByteArray> toAnsi(const QString &text);

} // namespace bag::detail
