#pragma once

#include <cstdint>

namespace kw {

/**
 * The program's one pseudo-random generator: 32-bit linear congruential,
 * seed := seed * 134775813 + 1 (mod 2^32); Random(n) = (seed * n) >> 32 after the step.
 * A small value type: copy it to replay a sequence.
 */
class Random {
public:
    static constexpr uint32_t kMultiplier = 134775813u;
    static constexpr uint32_t kIncrement = 1u;

    explicit Random(uint32_t seed = 0) : m_seed(seed) {}
    uint32_t seed() const { return m_seed; }
    void setSeed(uint32_t seed) { m_seed = seed; }
    /** A number in 0 .. n-1 (n >= 1). */
    uint32_t next(uint32_t n) {
        m_seed = m_seed * kMultiplier + kIncrement;
        return uint32_t((uint64_t(m_seed) * n) >> 32);
    }
    /** Seeds from a high-resolution clock. */
    void seedFromClock();

    /** The process-wide generator shared by the tip generator and the tip editor. */
    static Random& shared();

private:
    uint32_t m_seed;
};

} // namespace kw
