#include <echolink/native/AudioPath.h>

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>

namespace echolink::native {

namespace {

// Half a second of 8 kHz 16-bit audio: a backlog beyond this is dropped
// rather than delaying the transmission further.
constexpr qsizetype kMaxBacklog = 8000;

QAudioFormat stationFormat()
{
    QAudioFormat format;
    format.setSampleRate(8000);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace

AudioPath::AudioPath(QObject *parent)
    : QObject(parent)
{
    const QAudioFormat format = stationFormat();
    const QAudioDevice input = QMediaDevices::defaultAudioInput();
    if (!input.isNull() && input.isFormatSupported(format)) {
        m_source = std::make_unique<QAudioSource>(input, format);
        m_hasInput = true;
    } else if (!input.isNull()) {
        qWarning("echolink: the default input device cannot record 8 kHz mono; transmitting silence");
    }
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (!output.isNull() && output.isFormatSupported(format)) {
        m_sink = std::make_unique<QAudioSink>(output, format);
        m_sink->setBufferSize(kMaxBacklog);
        m_playbackDevice = m_sink->start();
        m_hasOutput = m_playbackDevice != nullptr;
    } else if (!output.isNull()) {
        qWarning("echolink: the default output device cannot play 8 kHz mono; received audio is not played");
    }
}

AudioPath::~AudioPath()
{
    stopCapture();
    if (m_sink)
        m_sink->stop();
}

void AudioPath::startCapture()
{
    m_captured.clear();
    if (!m_source || m_captureDevice)
        return;
    m_captureDevice = m_source->start();
    if (m_captureDevice)
        connect(m_captureDevice, &QIODevice::readyRead, this, &AudioPath::readCaptured);
}

void AudioPath::stopCapture()
{
    if (m_captureDevice) {
        disconnect(m_captureDevice, nullptr, this, nullptr);
        m_source->stop();
        m_captureDevice = nullptr;
    }
    m_captured.clear();
}

void AudioPath::readCaptured()
{
    if (!m_captureDevice)
        return;
    m_captured.append(m_captureDevice->readAll());
    if (m_captured.size() > kMaxBacklog)
        m_captured.remove(0, m_captured.size() - kMaxBacklog);
}

QByteArray AudioPath::takeCaptured(qsizetype bytes)
{
    readCaptured();
    QByteArray out = m_captured.left(bytes);
    m_captured.remove(0, out.size());
    if (out.size() < bytes)
        out.append(QByteArray(bytes - out.size(), '\0'));
    return out;
}

void AudioPath::play(const QByteArray &pcm)
{
    if (!m_playbackDevice)
        return;
    const qsizetype room = m_sink->bytesFree();
    m_playbackDevice->write(pcm.constData(), qMin<qsizetype>(room, pcm.size()) & ~qsizetype(1));
}

} // namespace echolink::native
