#pragma once

#include "app/SettingsTable.h"

#include <array>
#include <cstdint>

namespace kw {

/** The eight drawn numbers of a draw, as stored (bytes, normally ascending 1..37). */
using DrawEight = std::array<uint8_t, 8>;

/** The last, second-last and third-last draw, in that order. */
using RecentDraws = std::array<DrawEight, 3>;

} // namespace kw
