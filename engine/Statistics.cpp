#include "engine/Statistics.h"

#include "app/Dates.h"
#include "engine/Bits.h"

#include <algorithm>

namespace kw {

namespace {

void takeRange(NumberStats& s) {
    s.lo = s.hi = s.value[1];
    for (int n = 1; n <= 37; ++n) {
        s.lo = std::min(s.lo, s.value[size_t(n)]);
        s.hi = std::max(s.hi, s.value[size_t(n)]);
    }
}

} // namespace

NumberStats distribution(const std::vector<TZiehung>& records, double start, double end) {
    NumberStats s;
    for (const TZiehung& z : records) {
        if (!inWindowStartIncluded(z.Ziehungsdatum, start, end))
            continue;
        for (uint8_t v : z.Zahlen)
            if (v <= 37)
                ++s.value[v];
        ++s.draws;
    }
    takeRange(s);
    return s;
}

NumberStats overdue(const std::vector<TZiehung>& records, double start, double end) {
    NumberStats s;
    s.value.fill(1);
    for (const TZiehung& z : records) {
        if (!inWindowStartExcluded(z.Ziehungsdatum, start, end))
            continue;
        for (auto& v : s.value)
            ++v;
        for (uint8_t v : z.Zahlen)
            if (v <= 37)
                s.value[v] = 1;
        ++s.draws;
    }
    takeRange(s);
    return s;
}

bool isPrimeNumber(int n) {
    return n >= 0 && n < 64 && ((kPrimeBits >> n) & 1) != 0;
}

} // namespace kw
