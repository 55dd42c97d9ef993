#include <host/stdpicture.h>

#include <gdi/bridge.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cmath>
#include <cstring>

namespace host {

namespace {

quint16 readU16(const QByteArray &data, qsizetype offset)
{
    return quint16(quint8(data[offset])) | quint16(quint8(data[offset + 1]) << 8);
}

void writeU16(QByteArray &data, qsizetype offset, quint16 value)
{
    data[offset] = char(value & 0xFF);
    data[offset + 1] = char(value >> 8);
}

bool startsWith(const QByteArray &data, const char *magic, int length)
{
    return data.size() >= length && std::memcmp(data.constData(), magic, size_t(length)) == 0;
}

} // namespace

StdPicture::~StdPicture()
{
    if (m_type == vbPicTypeBitmap)
        DeleteObject(m_handle);
    else if (m_type == vbPicTypeIcon)
        DestroyIcon(m_handle);
}

int StdPicture::Width() const
{
    return pixelsToHimetric(m_pixelWidth);
}

int StdPicture::Height() const
{
    return pixelsToHimetric(m_pixelHeight);
}

int pixelsToHimetric(int pixels)
{
    return int(std::nearbyint(pixels * 2540.0 / 96.0));
}

StdPicturePtr LoadPicture(const QByteArray &fileData, QString *error)
{
    auto picture = std::make_shared<StdPicture>();
    if (fileData.isEmpty())
        return picture;

    QString why;
    const bool isIcon = startsWith(fileData, "\0\0\1\0", 4);
    const bool isCursor = startsWith(fileData, "\0\0\2\0", 4);
    if (isIcon || isCursor) {
        QByteArray iconData = fileData;
        if (isCursor) {
            // A cursor is an icon file whose directory holds the hot spot
            // where an icon has planes and bit count: read the hot spots,
            // then load it as an icon (planes 1, bit count from the image).
            if (fileData.size() < 6) {
                why = QStringLiteral("cursor file too short for its header (%1 bytes)").arg(fileData.size());
            } else {
                const int count = readU16(fileData, 4);
                if (count == 0 || fileData.size() < 6 + 16 * qsizetype(count)) {
                    why = QStringLiteral("cursor directory of %1 entries runs past the end of the data at byte %2")
                              .arg(count).arg(fileData.size());
                } else {
                    writeU16(iconData, 2, 1);
                    for (int i = 0; i < count; ++i) {
                        writeU16(iconData, 6 + 16 * i + 4, 1);
                        writeU16(iconData, 6 + 16 * i + 6, 0);
                    }
                }
            }
        }
        HICON icon = 0;
        if (why.isEmpty()) {
            QString loadError;
            icon = gdi::loadIcon(iconData, &loadError);
            if (!icon)
                why = loadError.isEmpty() ? QStringLiteral("unreadable icon data") : loadError;
        }
        if (!icon) {
            if (error)
                *error = why;
            return nullptr;
        }
        int w = 0, h = 0;
        gdi::iconSize(icon, &w, &h);
        picture->m_type = vbPicTypeIcon;
        picture->m_handle = icon;
        picture->m_pixelWidth = w;
        picture->m_pixelHeight = h;
        picture->m_cursor = isCursor;
        if (isCursor) {
            // The hot spot of the directory entry of the image in use.
            const int count = readU16(fileData, 4);
            int chosen = 0;
            for (int i = 0; i < count; ++i) {
                const int ew = quint8(fileData[6 + 16 * i]) == 0 ? 256 : quint8(fileData[6 + 16 * i]);
                const int eh = quint8(fileData[6 + 16 * i + 1]) == 0 ? 256 : quint8(fileData[6 + 16 * i + 1]);
                if (ew == w && eh == h) {
                    chosen = i;
                    break;
                }
            }
            picture->m_hotSpot = QPoint(readU16(fileData, 6 + 16 * chosen + 4),
                                        readU16(fileData, 6 + 16 * chosen + 6));
        }
        picture->m_data = fileData;
        return picture;
    }

    if (startsWith(fileData, "BM", 2)) {
        QString loadError;
        const HBITMAP bitmap = gdi::loadBitmap(fileData, &loadError);
        if (!bitmap) {
            if (error)
                *error = loadError.isEmpty() ? QStringLiteral("unreadable bitmap data") : loadError;
            return nullptr;
        }
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        picture->m_type = vbPicTypeBitmap;
        picture->m_handle = bitmap;
        picture->m_pixelWidth = info.bmWidth;
        picture->m_pixelHeight = info.bmHeight;
        picture->m_data = fileData;
        return picture;
    }

    // GIF, JPEG and PNG pictures become 32-bit bitmaps.
    QBuffer buffer;
    buffer.setData(fileData);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (format == "gif" || format == "jpeg" || format == "png") {
        QImage image;
        if (reader.read(&image) && !image.isNull()) {
            image = image.convertToFormat(QImage::Format_RGB32);
            QByteArray pixels;
            pixels.reserve(qsizetype(image.width()) * image.height() * 4);
            for (int y = 0; y < image.height(); ++y)
                pixels.append(reinterpret_cast<const char *>(image.constScanLine(y)), qsizetype(image.width()) * 4);
            const HBITMAP bitmap = CreateBitmap(image.width(), image.height(), 1, 32, pixels.constData());
            if (bitmap) {
                picture->m_type = vbPicTypeBitmap;
                picture->m_handle = bitmap;
                picture->m_pixelWidth = image.width();
                picture->m_pixelHeight = image.height();
                picture->m_data = fileData;
                return picture;
            }
        }
        if (error)
            *error = QStringLiteral("unreadable %1 picture: %2").arg(QString::fromLatin1(format), reader.errorString());
        return nullptr;
    }

    if (error) {
        *error = QStringLiteral("not a picture: unknown format (first bytes %1)")
                     .arg(QString::fromLatin1(fileData.left(4).toHex(' ')));
    }
    return nullptr;
}

StdPicturePtr LoadPictureFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return nullptr;
    }
    QString why;
    StdPicturePtr picture = LoadPicture(file.readAll(), &why);
    if (!picture && error)
        *error = QStringLiteral("%1: %2").arg(path, why);
    return picture;
}

} // namespace host
