#pragma once

#include <cstdint>
#include <initializer_list>

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

/** The set of the given numbers (0..63) as bits. */
constexpr uint64_t bitsOf(std::initializer_list<int> numbers) {
    uint64_t m = 0;
    for (int n : numbers)
        m |= uint64_t(1) << n;
    return m;
}

/** The primes among the game's numbers 1..37. */
inline constexpr uint64_t kPrimeBits = bitsOf({2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37});

} // namespace kw
