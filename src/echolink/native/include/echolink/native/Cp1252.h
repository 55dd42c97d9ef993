#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace echolink::native {

// Station text on the wire is 8-bit Windows-1252. Qt's own converters do not
// carry that code page everywhere, so the table lives here.
QString fromCp1252(QByteArrayView bytes);
// Characters that the code page cannot hold become '?'.
QByteArray toCp1252(const QString &text);

} // namespace echolink::native
