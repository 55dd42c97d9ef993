#include <forms/ImageControl.h>

#include <forms/AreaScaler.h>

#include "StoredFile.h"

#include <gdi/bridge.h>
#include <host/screenscale.h>

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace forms {

ImageControl::ImageControl(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

ImageControl::~ImageControl() = default;

ImageControl::Prepared ImageControl::prepare(const QString &fileName, QSize stretchedTo)
{
    Prepared prepared;
    QByteArray bytes;
    QString fault;
    if (!readStoredFile(fileName, &bytes, &fault)) {
        prepared.error =
            QFileInfo::exists(fileName) ? fault : QStringLiteral("%1: picture file not found").arg(fileName);
        return prepared;
    }
    if (bytes.startsWith("BM")) {
        prepared.picture = gdi::decodeBitmapImage(bytes, &fault);
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        prepared.picture = reader.read();
        if (prepared.picture.isNull())
            fault = reader.errorString();
    }
    if (prepared.picture.isNull())
        prepared.error = QStringLiteral("%1: %2").arg(fileName, fault);
    else if (!stretchedTo.isEmpty())
        prepared.scaled = smoothlyScaled(prepared.picture, stretchedTo);
    return prepared;
}

bool ImageControl::load(const QString &fileName, QString *error)
{
    return load(prepare(fileName, m_stretch ? deviceSize() : QSize()), error);
}

// The control's own size, or the picture's, in the screen's device pixels:
// the picture is scaled once from its source to it.
QSize ImageControl::deviceSize() const
{
    const host::ScreenScale scale = host::ScreenScale::of(this);
    const QSize laidOut = m_stretch ? size() : m_picture.size();
    return QSize(scale.devicePixels(laidOut.width()), scale.devicePixels(laidOut.height()));
}

bool ImageControl::load(Prepared prepared, QString *error)
{
    if (!prepared.error.isEmpty()) {
        *error = prepared.error;
        return false;
    }
    setPicture(prepared.picture);
    // Kept when it is for this control as it is now; else made at paint.
    if (m_stretch && prepared.scaled.size() == deviceSize())
        m_scaled = std::move(prepared.scaled);
    return true;
}

void ImageControl::setPicture(const QImage &picture)
{
    m_picture = picture;
    m_scaled = QImage();
    updateOpaque();
    update();
}

void ImageControl::updateOpaque()
{
    // A stretched opaque picture covers the control: nothing to paint below.
    // (At a fractional scale the control's edges may fall inside device
    // pixels the picture leaves out.)
    setAttribute(Qt::WA_OpaquePaintEvent, m_stretch && !m_picture.isNull() && !m_picture.hasAlphaChannel()
                                              && host::ScreenScale::of(this).isWhole());
}

bool ImageControl::event(QEvent *event)
{
    if (event->type() == QEvent::ScreenChangeInternal)
        updateOpaque();
    return QWidget::event(event);
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
    const host::ScreenScale scale = host::ScreenScale::of(this);
    if (!m_stretch && scale.isUnscaled()) {
        painter.drawImage(QPoint(0, 0), m_picture);
        return;
    }
    const QSize target = deviceSize();
    if (target.isEmpty())
        return;
    if (m_scaled.size() != target)
        m_scaled = smoothlyScaled(m_picture, target);
    // One picture pixel to one device pixel: the painter counts in device
    // pixels, so the picture is a plain copy.
    painter.setWorldTransform(QTransform::fromScale(1.0 / scale.devicePixelRatio(), 1.0 / scale.devicePixelRatio()));
    painter.drawImage(QPoint(0, 0), m_scaled);
}

} // namespace forms
