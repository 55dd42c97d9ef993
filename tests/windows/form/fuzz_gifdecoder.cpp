// libFuzzer entry: any bytes through the GIF decoder, every frame read.
#include <forms/GifDecoder.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    forms::GifDecoder decoder;
    QString error;
    if (!decoder.open(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error))
        return 0;
    QImage frame;
    int delay = 0;
    for (int i = 0; i < 64 && decoder.readFrame(&frame, &delay, &error); ++i) {
    }
    return 0;
}
