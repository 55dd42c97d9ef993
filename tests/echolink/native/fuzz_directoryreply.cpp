// libFuzzer entry: the addressing server's answer to a log-in.
#include <echolink/native/DirectoryProtocol.h>

#include <cstdint>
#include <cstdlib>

using namespace echolink::native;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView answer(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const auto reply = directory::parseLoginReply(answer, &error);
    if (!reply && error.isEmpty())
        std::abort();
    if (reply && reply->result == directory::Result::Challenge) {
        if (reply->challenge.isEmpty() || reply->challenge.size() > 256)
            std::abort();
        // The hash of any challenge is 32 hex digits.
        if (directory::hashPassword("secret", reply->challenge).size() != 32)
            std::abort();
    }
    return 0;
}
