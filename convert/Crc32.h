#pragma once
// Crc32: the CRC-32 checksum (IEEE 802.3, the one zip and PNG use) that the engine's binary files
// put after what they protect, so that a file cut short or altered anywhere is recognised as
// damaged rather than read as something it never said.
//
// Threads: any thread; nothing is shared.
#include <cstdint>
#include <string_view>

namespace convert {

class Crc32 {
public:
    // The checksum of `bytes` ("123456789" gives 0xCBF43926).
    static uint32_t of(std::string_view bytes);
};

}  // namespace convert
