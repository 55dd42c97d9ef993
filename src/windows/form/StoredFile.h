#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace forms {

// The whole of one stored file (a layout or a property-bag stream), read in
// one piece: false with *error naming the file when it cannot be opened or
// read to its end. Stored files are small and read once per window, so the
// unbuffered read of the known size spares the buffered copy and its calls.
inline bool readStoredFile(const QString &path, QByteArray *bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const qint64 size = file.size();
    QByteArray data(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const qint64 got = file.read(data.data() + done, size - done);
        if (got <= 0) {
            *error = got < 0 ? QStringLiteral("%1: %2").arg(path, file.errorString())
                             : QStringLiteral("%1: the file ended early").arg(path);
            return false;
        }
        done += got;
    }
    *bytes = std::move(data);
    return true;
}

} // namespace forms
