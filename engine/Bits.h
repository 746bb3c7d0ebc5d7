#pragma once

#include <cstdint>

namespace kw {

/**
 * Number of set bits. Written out because the portable build has no popcount instruction and
 * the compiler's fallback is a library call, several times slower in the filters' inner loops.
 */
inline int bitCount(uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int((x * 0x0101010101010101ull) >> 56);
}

} // namespace kw
