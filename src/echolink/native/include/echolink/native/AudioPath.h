#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

class QAudioSink;
class QAudioSource;
class QIODevice;

namespace echolink::native {

// The station's sound card: 8 kHz mono 16-bit capture for the transmitter
// and playback of the conference's audio. Either side may be missing (no
// device, or a device that cannot do the format); that is not an error: the
// transmitter then sends silence and received audio is not heard.
class AudioPath : public QObject
{
    Q_OBJECT

public:
    explicit AudioPath(QObject *parent = nullptr);
    ~AudioPath() override;

    bool hasInput() const { return m_hasInput; }
    bool hasOutput() const { return m_hasOutput; }

    void startCapture();
    void stopCapture();
    // Takes `bytes` of captured PCM; what the device has not delivered yet
    // is filled with silence.
    QByteArray takeCaptured(qsizetype bytes);

    // Queues decoded PCM for playback; dropped when the device is behind.
    void play(const QByteArray &pcm);

private:
    void readCaptured();

    bool m_hasInput = false;
    bool m_hasOutput = false;
    std::unique_ptr<QAudioSource> m_source;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice *m_captureDevice = nullptr;
    QIODevice *m_playbackDevice = nullptr;
    QByteArray m_captured;
};

} // namespace echolink::native
