// libFuzzer entry point for the property-bag stream reader.
#include "BagStreamHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkBagStream(data, size);
    return 0;
}
