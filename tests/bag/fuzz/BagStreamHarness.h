#pragma once

#include <cstddef>
#include <cstdint>

// Reads one input as a property-bag stream and checks what a sound reader
// guarantees: every fault lies inside the data; a stream that reads is
// written back, reads back to the same bag, and rewrites to the same bytes;
// its text listing parses back to the same bag. Returns the broken
// guarantee, or null (ASan/UBSan catch the rest).
const char *checkBagStream(const uint8_t *data, size_t size);
