#include <forms/AnimatedGif.h>

#include "StoredFile.h"

#include <forms/AreaScaler.h>

#include <host/screenscale.h>

#include <QPainter>
#include <QTimerEvent>

namespace forms {

namespace {

// A frame that asks for no delay (or a negative one) is shown for this long,
// as browsers do; the file's own timings are kept otherwise.
constexpr int DefaultDelay = 100;

int frameDelay(int stored)
{
    return stored > 0 ? stored : DefaultDelay;
}

bool isOpaque(const QImage &premultiplied)
{
    if (premultiplied.format() == QImage::Format_RGB32)
        return true;
    quint32 all = 0xFF000000u;
    const int width = premultiplied.width();
    const int height = premultiplied.height();
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const quint32 *>(premultiplied.constScanLine(y));
        for (int x = 0; x < width; ++x)
            all &= line[x];
    }
    return all == 0xFF000000u;
}

// A decoded frame as the control shows it: fitted to `target` when that
// differs from its own size (each frame is scaled once), and marked opaque
// when no pixel shows through, so it is drawn as a plain copy.
QImage fittedFrame(QImage decoded, QSize target)
{
    if (target.isEmpty() || target == decoded.size())
        return decoded;
    QImage scaled = smoothlyScaled(decoded, target);
    if (isOpaque(scaled))
        scaled.reinterpretAsFormat(QImage::Format_RGB32);
    return scaled;
}

QSize fittedSize(QSize natural, QSize control)
{
    if (!natural.isValid() || control.isEmpty())
        return {};
    return natural.scaled(control, Qt::KeepAspectRatio);
}

} // namespace

AnimatedGif::AnimatedGif(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

AnimatedGif::~AnimatedGif() = default;

AnimatedGif::Prepared AnimatedGif::prepare(const QString &fileName, QSize controlSize)
{
    Prepared prepared;
    prepared.fileName = fileName;
    QByteArray bytes;
    if (!readStoredFile(fileName, &bytes, &prepared.error))
        return prepared;
    GifDecoder decoder;
    QString fault;
    if (!decoder.open(bytes, &fault) || !decoder.readFrame(&prepared.first, &prepared.firstDelay, &fault)) {
        prepared.error = QStringLiteral("%1: not a GIF animation (%2)")
                             .arg(fileName, fault.isEmpty() ? QStringLiteral("no frames") : fault);
        prepared.first = QImage();
        return prepared;
    }
    prepared.decoder = std::move(decoder);
    if (!controlSize.isEmpty()) {
        prepared.fittedTo = controlSize;
        prepared.firstFitted = fittedFrame(prepared.first, fittedSize(prepared.first.size(), controlSize));
    }
    return prepared;
}

bool AnimatedGif::load(const QString &fileName, QString *error)
{
    return load(prepare(fileName), error);
}

bool AnimatedGif::load(Prepared prepared, QString *error)
{
    if (!prepared.error.isEmpty()) {
        *error = prepared.error;
        return false;
    }
    m_timer.stop();
    m_fileName = prepared.fileName;
    m_decoder = std::move(prepared.decoder);
    m_naturalSize = prepared.first.size();
    m_firstDelay = frameDelay(prepared.firstDelay);
    m_frames.clear();
    m_frameSize = QSize();
    if (!prepared.firstFitted.isNull() && prepared.fittedTo == deviceSize()) {
        // Fitted already for this control as it is now.
        m_frameSize = scaledSize();
        m_frames.push_back({std::move(prepared.firstFitted), m_firstDelay});
        m_firstFrame = QImage();
    } else {
        m_firstFrame = std::move(prepared.first);
    }
    m_current = 0;
    m_allRead = false;
    // Known once the first pass is through; until then the first pass plays.
    m_playsLeft = -1;
    m_playing = true;
    if (isVisible())
        scheduleNext();
    update();
    return true;
}

QSize AnimatedGif::deviceSize() const
{
    const host::ScreenScale scale = host::ScreenScale::of(this);
    return QSize(scale.devicePixels(width()), scale.devicePixels(height()));
}

QSize AnimatedGif::scaledSize() const
{
    return fittedSize(m_naturalSize, deviceSize());
}

// Reads the next frame of the first pass and keeps it scaled; false at the
// end of the file (or at a damaged frame, which ends the animation there).
bool AnimatedGif::readNextFrame()
{
    QImage decoded;
    int delay = 0;
    if (m_frames.empty() && !m_firstFrame.isNull()) {
        decoded = std::move(m_firstFrame);
        m_firstFrame = QImage();
        delay = m_firstDelay;
    } else {
        // A damaged frame ends the animation at the frames before it.
        int stored = 0;
        if (!m_decoder || !m_decoder->readFrame(&decoded, &stored, nullptr) || decoded.isNull())
            return false;
        delay = frameDelay(stored);
    }
    m_frames.push_back({fittedFrame(std::move(decoded), scaledSize()), delay});
    return true;
}

const QImage &AnimatedGif::frameImage(int index)
{
    static const QImage none;
    if (scaledSize() != m_frameSize) {
        // Kept frames are for another size: decode again from the start.
        if (!m_frames.empty() || m_allRead)
            restartFromFile();
        m_frameSize = scaledSize();
    }
    while (index >= int(m_frames.size()) && !m_allRead) {
        if (!readNextFrame())
            m_allRead = true;
    }
    if (m_allRead && m_decoder) {
        m_playsLeft = m_decoder->loopCount(); // -1 forever, else repeats after the first pass
        m_decoder.reset();
    }
    return index < int(m_frames.size()) ? m_frames[index].image : none;
}

void AnimatedGif::restartFromFile()
{
    m_frames.clear();
    m_allRead = false;
    m_current = 0;
    // Frames are kept only for one size; the bytes are read again for another.
    m_decoder.reset();
    QByteArray bytes;
    QString fault;
    if (readStoredFile(m_fileName, &bytes, &fault)) {
        m_decoder.emplace();
        if (!m_decoder->open(std::move(bytes), &fault))
            m_decoder.reset();
    }
}

void AnimatedGif::advance()
{
    const int next = m_current + 1;
    frameImage(next);
    if (next < int(m_frames.size())) {
        m_current = next;
    } else if (m_frames.size() > 1 && m_playsLeft != 0) {
        if (m_playsLeft > 0)
            --m_playsLeft;
        m_current = 0;
    } else {
        // Through its repeats (or a single picture): the last frame stays.
        m_playing = false;
        m_timer.stop();
        return;
    }
    update();
    scheduleNext();
}

void AnimatedGif::scheduleNext()
{
    if (!m_playing)
        return;
    const int delay = m_current < int(m_frames.size()) ? m_frames[m_current].delay : m_firstDelay;
    m_timer.start(delay, this);
}

void AnimatedGif::paintEvent(QPaintEvent *)
{
    if (!m_naturalSize.isValid())
        return;
    const QImage &image = frameImage(m_current);
    if (image.isNull())
        return;
    QPainter painter(this);
    const QSize control = deviceSize();
    const QPoint topLeft((control.width() - image.width()) / 2, (control.height() - image.height()) / 2);
    // One frame pixel to one device pixel: the painter counts in device pixels.
    const double ratio = host::ScreenScale::of(this).devicePixelRatio();
    if (ratio != 1.0)
        painter.setWorldTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
    painter.drawImage(topLeft, image);
}

void AnimatedGif::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    update();
}

void AnimatedGif::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_playing && !m_timer.isActive())
        scheduleNext();
}

void AnimatedGif::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_timer.stop();
}

void AnimatedGif::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_timer.stop();
    advance();
}

} // namespace forms
