#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace kw {

/** One bar: its place on the bottom axis, its value and its colour (ARGB; none = the series' own). */
struct Bar {
    double x = 0;
    double y = 0;
    std::optional<uint32_t> argb;
};

inline constexpr uint32_t kRed = 0xFFFF0000u;
inline constexpr uint32_t kGreen = 0xFF008000u;

/** What a bar series holds; the chart widget only draws it. */
struct BarSeriesData {
    std::vector<Bar> bars;
    bool visible = true;
    bool marksVisible = true; // value labels over the bars
};

/** A chart axis: automatic, or a set minimum and maximum; and a title. */
struct AxisData {
    bool automatic = true;
    double minimum = 0;
    double maximum = 10;
    QString title;
};

} // namespace kw
