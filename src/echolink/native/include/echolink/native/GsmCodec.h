#pragma once

#include <QByteArray>
#include <QByteArrayView>

struct gsm_state;

namespace echolink::native {

// GSM 06.10 full rate, 8 kHz mono: 160 samples <-> one 33-byte frame.
// Encoder and decoder keep separate state, as the two directions are
// unrelated streams.
class GsmCodec
{
public:
    GsmCodec();
    ~GsmCodec();
    GsmCodec(const GsmCodec &) = delete;
    GsmCodec &operator=(const GsmCodec &) = delete;

    // pcm: native-endian 16-bit samples, a multiple of 160; returns the frames.
    QByteArray encode(QByteArrayView pcm);
    // frames: a multiple of 33 bytes; a frame that is not a GSM frame decodes
    // to silence, so one bad frame costs only its own 20 ms.
    QByteArray decode(QByteArrayView frames);

private:
    gsm_state *m_encoder;
    gsm_state *m_decoder;
};

} // namespace echolink::native
