// libFuzzer entry point for the property-bag stream reader.
#include "BagStreamHarness.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (const char *broken = checkBagStream(data, size)) {
        std::fprintf(stderr, "bag stream check failed: %s\n", broken);
        std::abort();
    }
    return 0;
}
