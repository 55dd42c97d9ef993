#include "WindowIcon.h"

#include "StoredFile.h"

#include <gdi/bridge.h>

#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace forms {

namespace {

// True when every image of the icon file is a colour DIB of at most 24 bits
// per pixel: no alpha to keep, nothing a mask cannot say. Damaged
// directories answer false and are left to the reader that reports them.
bool onlyMaskedImages(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 6)
        return false;
    const int count = qFromLittleEndian<quint16>(p + 4);
    if (count == 0 || size < 6 + qsizetype(count) * 16)
        return false;
    for (int i = 0; i < count; ++i) {
        const quint32 offset = qFromLittleEndian<quint32>(p + 6 + i * 16 + 12);
        if (qsizetype(offset) > size - 16)
            return false;
        const quint32 header = qFromLittleEndian<quint32>(p + offset);
        const quint16 bits = qFromLittleEndian<quint16>(p + offset + 14);
        if (header < 40 || bits < 4 || bits > 24)
            return false;
    }
    return true;
}

QImage maskedPicture(const QByteArray &bytes, QString *fault)
{
    const HICON icon = gdi::loadIcon(bytes, fault, 32, 32);
    if (!icon)
        return {};
    ICONINFO info{};
    const bool ok = GetIconInfo(icon, &info);
    DestroyIcon(icon);
    QImage picture;
    if (ok && info.hbmColor && info.hbmMask) {
        const QImage colour = gdi::bitmapImage(info.hbmColor);
        const QImage mask = gdi::bitmapImage(info.hbmMask);
        if (!colour.isNull() && mask.size() == colour.size()) {
            picture = QImage(colour.size(), QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < colour.height(); ++y) {
                const auto *c = reinterpret_cast<const QRgb *>(colour.constScanLine(y));
                const auto *m = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
                auto *out = reinterpret_cast<QRgb *>(picture.scanLine(y));
                // A white mask pixel lets the background through.
                for (int x = 0; x < colour.width(); ++x)
                    out[x] = (m[x] & 0xFFFFFF) ? 0 : (c[x] | 0xFF000000u);
            }
        }
    }
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (picture.isNull() && fault->isEmpty())
        *fault = QStringLiteral("the icon's images cannot be read");
    return picture;
}

} // namespace

QIcon readWindowIcon(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!readStoredFile(path, &bytes, error))
        return {};
    if (onlyMaskedImages(bytes)) {
        QString fault;
        QImage picture = maskedPicture(bytes, &fault);
        if (picture.isNull()) {
            *error = QStringLiteral("%1: the window icon cannot be read (%2)").arg(path, fault);
            return {};
        }
        return QIcon(QPixmap::fromImage(std::move(picture)));
    }
    // Qt's icon keeps a file it cannot read as an icon that is not null:
    // the data is tried as a picture first.
    const QIcon icon = QImage::fromData(bytes).isNull() ? QIcon() : QIcon(path);
    if (icon.isNull())
        *error = QStringLiteral("%1: the window icon cannot be read").arg(path);
    return icon;
}

} // namespace forms
