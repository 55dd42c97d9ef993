#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The chat log file: text with lines ending in CR LF, rewritten whole on each
// save. It is written in the locale's character set when that set can carry
// the text, and read back whatever older program wrote it.
namespace chatfile {

inline constexpr char FileName[] = "radiosala.txt";

// The bytes a text is saved as: UTF-8 in a UTF-8 locale; otherwise the
// locale's 8-bit set, unless a character of the text cannot be written in it
// or would read back as another one, and then the whole text in UTF-8. A
// plain-ASCII locale ("C") writes ISO 8859-1, its 8-bit superset.
QByteArray encode(const QString &text);
// A file's bytes as text: bytes that are valid UTF-8 are read as UTF-8,
// anything else as Windows-1252, the code page older chat files were written
// in on Portuguese systems. Every byte gives a character; nothing becomes a
// replacement character.
QString decode(const QByteArray &bytes);
QByteArray codesetName();

// Writes text followed by CR LF, truncating or creating the file. False with
// *error (the system's reason) when the file cannot be written completely.
bool save(const QString &path, const QString &text, QString *error);

// Reads the whole file back. The CR LF that save() adds is dropped when the
// file ends in a blank line (CR LF CR LF), as the program's own files of
// received chat do, or is that CR LF alone (an empty chat saved); a file whose
// last line ends in a single CR LF keeps it, so the next line received starts
// a line of its own.
std::optional<QString> load(const QString &path, QString *error);

} // namespace chatfile
