#include <echolink/native/GsmCodec.h>
#include <echolink/native/StationPackets.h>

#include <gsm.h>

#include <cstring>

namespace echolink::native {

GsmCodec::GsmCodec()
    : m_encoder(gsm_create())
    , m_decoder(gsm_create())
{
    Q_ASSERT_X(m_encoder && m_decoder, "GsmCodec", "gsm_create failed");
}

GsmCodec::~GsmCodec()
{
    gsm_destroy(m_encoder);
    gsm_destroy(m_decoder);
}

QByteArray GsmCodec::encode(QByteArrayView pcm)
{
    constexpr qsizetype frameBytes = wire::GsmFrameSamples * qsizetype(sizeof(gsm_signal));
    Q_ASSERT_X(pcm.size() % frameBytes == 0, "GsmCodec::encode", "whole frames only");
    const qsizetype frames = pcm.size() / frameBytes;
    QByteArray out(frames * wire::GsmFrameBytes, '\0');
    gsm_signal samples[wire::GsmFrameSamples];
    for (qsizetype f = 0; f < frames; ++f) {
        std::memcpy(samples, pcm.data() + f * frameBytes, frameBytes);
        gsm_encode(m_encoder, samples, reinterpret_cast<gsm_byte *>(out.data() + f * wire::GsmFrameBytes));
    }
    return out;
}

QByteArray GsmCodec::decode(QByteArrayView frames)
{
    const qsizetype count = frames.size() / wire::GsmFrameBytes;
    QByteArray out(count * wire::GsmFrameSamples * qsizetype(sizeof(gsm_signal)), '\0');
    gsm_byte frame[wire::GsmFrameBytes];
    for (qsizetype f = 0; f < count; ++f) {
        std::memcpy(frame, frames.data() + f * wire::GsmFrameBytes, wire::GsmFrameBytes);
        auto *samples = reinterpret_cast<gsm_signal *>(out.data()) + f * wire::GsmFrameSamples;
        if (gsm_decode(m_decoder, frame, samples) != 0)
            std::memset(samples, 0, wire::GsmFrameSamples * sizeof(gsm_signal));
    }
    return out;
}

} // namespace echolink::native
