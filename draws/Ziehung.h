#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kw {

/**
 * One record of the draw history file: 24 bytes, little-endian, no padding.
 * Zahlen[0..7] are the eight drawn numbers (ascending), Zahlen[8] and Zahlen[9] the two
 * supplementary numbers in the order they arrived. (The game's own numbering is 1..10.)
 */
struct TZiehung {
    double Ziehungsdatum = 0.0;
    std::array<uint8_t, 10> Zahlen{};
    std::array<uint8_t, 6> Reserviert{};

    static constexpr int kSize = 24;

    /** The record's file bytes, independent of the host's byte order. */
    std::array<uint8_t, kSize> toBytes() const;
    static TZiehung fromBytes(const uint8_t* bytes);

    bool operator==(const TZiehung&) const = default;
};

static_assert(sizeof(double) == 8);
static_assert(offsetof(TZiehung, Zahlen) == 8 && offsetof(TZiehung, Reserviert) == 18);
static_assert(sizeof(TZiehung) == TZiehung::kSize);

inline std::array<uint8_t, TZiehung::kSize> TZiehung::toBytes() const {
    std::array<uint8_t, kSize> out{};
    uint64_t bits;
    std::memcpy(&bits, &Ziehungsdatum, 8);
    for (int i = 0; i < 8; ++i)
        out[i] = uint8_t(bits >> (8 * i));
    std::memcpy(out.data() + 8, Zahlen.data(), 10);
    std::memcpy(out.data() + 18, Reserviert.data(), 6);
    return out;
}

inline TZiehung TZiehung::fromBytes(const uint8_t* bytes) {
    TZiehung z;
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= uint64_t(bytes[i]) << (8 * i);
    std::memcpy(&z.Ziehungsdatum, &bits, 8);
    std::memcpy(z.Zahlen.data(), bytes + 8, 10);
    std::memcpy(z.Reserviert.data(), bytes + 18, 6);
    return z;
}

/** The three draws a new history file starts with (07.08., 08.08. and 09.08.2015). */
std::array<TZiehung, 3> seedDraws();

} // namespace kw
