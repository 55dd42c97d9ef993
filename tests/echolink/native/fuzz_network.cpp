// libFuzzer entry: every parser that what the network sends reaches, a
// station datagram or the addressing server's answer to a log-in.
#include <echolink/native/Cp1252.h>
#include <echolink/native/DirectoryProtocol.h>
#include <echolink/native/StationPackets.h>

#include <cstdint>
#include <cstdlib>

using namespace echolink::native;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView datagram(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto control = wire::parseControl(datagram)) {
        if (control->name.size() > 255 || control->tool.size() > 255 || control->byeReason.size() > 255)
            std::abort();
    }
    if (const auto text = wire::parseText(datagram)) {
        if (text->contains('\0'))
            std::abort();
        if (wire::isStationText(*text)) {
            (void)fromCp1252(*text);
        } else {
            for (const QByteArray &line : wire::chatLines(*text)) {
                if (line.contains('\r'))
                    std::abort();
                if (toCp1252(fromCp1252(line)) != line)
                    std::abort(); // every byte survives the round trip
            }
        }
    }
    if (const auto audio = wire::parseAudio(datagram)) {
        if (audio->frames.isEmpty() || audio->frames.size() % wire::GsmFrameBytes != 0)
            std::abort();
    }
    QString error;
    const auto reply = directory::parseLoginReply(datagram, &error);
    if (!reply && error.isEmpty())
        std::abort();
    // A challenge is short, and its hash is 32 hex digits.
    if (reply && reply->result == directory::Result::Challenge
        && (reply->challenge.isEmpty() || reply->challenge.size() > 256
            || directory::hashPassword("secret", reply->challenge).size() != 32))
        std::abort();
    return 0;
}
