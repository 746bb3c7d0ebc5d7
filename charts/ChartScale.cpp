#include "charts/ChartScale.h"

#include <algorithm>
#include <cmath>

namespace kw {

double niceStep(double rough, bool integral) {
    if (!(rough > 0) || !std::isfinite(rough))
        return 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * magnitude;
    for (double m : {1.0, 2.0, 5.0}) {
        if (m * magnitude >= rough * (1 - 1e-9)) {
            step = m * magnitude;
            break;
        }
    }
    return integral ? std::max(step, 1.0) : step;
}

AxisScale valueScale(bool automatic, double setMin, double setMax, double lo, double hi, int maxTicks,
                     bool integral) {
    maxTicks = std::max(maxTicks, 1);
    AxisScale s;
    if (automatic) {
        s.minimum = std::min(0.0, lo);
        double top = std::max(hi, s.minimum + (integral ? 1.0 : 1e-9));
        s.step = niceStep((top - s.minimum) / maxTicks, integral);
        s.maximum = s.minimum + std::ceil((top - s.minimum) / s.step - 1e-9) * s.step;
        if (s.maximum <= s.minimum)
            s.maximum = s.minimum + s.step;
        return s;
    }
    s.minimum = setMin;
    s.maximum = setMax > setMin ? setMax : setMin + 1;
    s.step = niceStep((s.maximum - s.minimum) / maxTicks, integral);
    return s;
}

int labelStride(double slotWidth, double labelWidth) {
    if (!(slotWidth > 0))
        return 1;
    static constexpr int kBase[] = {1, 2, 5, 10, 20, 25, 50};
    for (int scale = 1; scale <= 1000000; scale *= 100)
        for (int b : kBase)
            if (b * scale * slotWidth >= labelWidth)
                return b * scale;
    return 100000000;
}

} // namespace kw
