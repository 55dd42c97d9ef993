#pragma once
// The system's reason for a failure, as our messages show it: in Brazilian
// Portuguese for the common cases, whatever the user's locale. One table
// holds these texts (SystemReason.cpp); a reason it lacks is given as the
// system or Qt words it.
//
// Each text is a sentence fragment with a capital and no full stop, as the
// C library words its own ("Permissão negada"), to follow a colon or stand
// on a line of its own.

#include <QString>

class QAbstractSocket;
class QFileDevice;

namespace texts {

// For an errno value.
QString systemReason(int errorCode);
// After a failed operation on a file (QFile, QSaveFile).
QString fileReason(const QFileDevice &file);
// After a failed operation on a socket (bind, connect, send).
QString socketReason(const QAbstractSocket &socket);

} // namespace texts
