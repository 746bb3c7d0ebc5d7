#pragma once

#include <cstdint>

namespace kw {

/** The colour of a number's ball (ARGB), by decade, so that neighbouring numbers are told apart. */
constexpr uint32_t ballArgb(int n) {
    if (n < 10)
        return 0xFFF2B105u;
    if (n < 20)
        return 0xFF1E63D6u;
    if (n < 30)
        return 0xFFD62828u;
    return 0xFF259A3Au;
}

} // namespace kw
