#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The chat log file: 8-bit text in the system code page (the locale's
// character set), lines ending in CR LF, rewritten whole on each save.
namespace chatfile {

inline constexpr char FileName[] = "radiosala.txt";

// Text <-> bytes in the locale's character set. Characters the set cannot
// hold become '?'. A plain-ASCII locale ("C") is read as ISO 8859-1, its
// 8-bit superset, so no byte is lost on a save-and-load cycle.
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);
QByteArray codesetName();

// Writes text followed by CR LF, truncating or creating the file. False with
// *error (the system's reason) when the file cannot be written completely.
bool save(const QString &path, const QString &text, QString *error);

// Reads the whole file back. One trailing CR LF (the one save() added) is
// dropped, so loading what was saved gives back the same text.
std::optional<QString> load(const QString &path, QString *error);

} // namespace chatfile
