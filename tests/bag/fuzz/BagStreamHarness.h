#pragma once

#include <cstddef>
#include <cstdint>

// Reads one input as a property-bag stream: every fault lies inside the data; a stream that reads
// writes, reads back and rewrites unchanged, and its listing parses back to the same bag.
// Returns the broken guarantee, or null (ASan/UBSan catch the rest).
const char *checkBagStream(const uint8_t *data, size_t size);
