#pragma once

namespace kw {

/** A value axis as drawn: its range and the distance between two labelled ticks. */
struct AxisScale {
    double minimum = 0;
    double maximum = 1;
    double step = 1;
};

/**
 * The smallest of 1, 2, 5 times a power of ten that is at least rough; at least 1 for counts,
 * whose axis shows no fractions.
 */
double niceStep(double rough, bool integral);

/**
 * The value axis for bars from lo to hi. Automatic: from min(0, lo) up to hi rounded up to a
 * whole step. Fixed: exactly setMin .. setMax (a range without height gets one unit, so the
 * bars still have a baseline to stand on). maxTicks: how many labels fit the height.
 */
AxisScale valueScale(bool automatic, double setMin, double setMax, double lo, double hi, int maxTicks,
                     bool integral);

/**
 * Every how many bars a bottom label fits: 1, 2, 5, 10, 20, 25, 50, ... so that labels of
 * labelWidth (gap included) do not touch on slots of slotWidth.
 */
int labelStride(double slotWidth, double labelWidth);

} // namespace kw
