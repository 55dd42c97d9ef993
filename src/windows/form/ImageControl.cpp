#include <forms/ImageControl.h>

#include <forms/AreaScaler.h>

#include "StoredFile.h"

#include <gdi/bridge.h>

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace forms {

namespace {

// A .bmp read by the GDI reader; the bitmap is let go before returning.
QImage readBmp(const QByteArray &bytes, QString *fault)
{
    struct Owned
    {
        HBITMAP handle;
        ~Owned()
        {
            if (handle)
                DeleteObject(handle);
        }
    } bitmap{gdi::loadBitmap(bytes, fault)};
    if (!bitmap.handle)
        return {};
    // The view shares the bitmap's pixels: copied before they go.
    return gdi::bitmapImage(bitmap.handle).copy();
}

} // namespace

ImageControl::ImageControl(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

ImageControl::~ImageControl() = default;

bool ImageControl::load(const QString &fileName, QString *error)
{
    QByteArray bytes;
    QString fault;
    if (!readStoredFile(fileName, &bytes, &fault)) {
        *error = QFileInfo::exists(fileName) ? fault : QStringLiteral("%1: picture file not found").arg(fileName);
        return false;
    }
    QImage image;
    if (bytes.startsWith("BM")) {
        image = readBmp(bytes, &fault);
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        image = reader.read();
        if (image.isNull())
            fault = reader.errorString();
    }
    if (image.isNull()) {
        *error = QStringLiteral("%1: %2").arg(fileName, fault);
        return false;
    }
    setPicture(image);
    return true;
}

void ImageControl::setPicture(const QImage &picture)
{
    m_picture = picture;
    m_scaled = QImage();
    // A stretched opaque picture covers the control: nothing to paint below.
    setAttribute(Qt::WA_OpaquePaintEvent, m_stretch && !m_picture.isNull() && !m_picture.hasAlphaChannel());
    update();
}

void ImageControl::setStretched(bool stretch)
{
    if (stretch == m_stretch)
        return;
    m_stretch = stretch;
    setPicture(m_picture);
}

void ImageControl::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    if (!m_stretch) {
        painter.drawImage(QPoint(0, 0), m_picture);
        return;
    }
    if (size().isEmpty())
        return;
    if (m_scaled.size() != size())
        m_scaled = smoothlyScaled(m_picture, size());
    painter.drawImage(QPoint(0, 0), m_scaled);
}

} // namespace forms
