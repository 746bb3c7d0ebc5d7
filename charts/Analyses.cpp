#include "charts/Analyses.h"

#include "app/Numbers.h"

namespace kw {

void CrossSums::add(const TZiehung& z) {
    int s = 0;
    for (int i = 0; i < 8; ++i)
        s += z.Zahlen[size_t(i)];
    // A damaged record could sum past the counters; counting it would also stretch the bar range there.
    if (s >= kSums)
        return;
    counter[size_t(s)] += 1;
    if (s < smallest)
        smallest = s;
    if (s > largest)
        largest = s;
    draws += 1;
    total += s;
}

QString CrossSums::title() const {
    const QString head = QStringLiteral("Distribution of cross sums in %1 draws").arg(Round(draws));
    if (empty())
        return head + QStringLiteral("  -- no average without draws");
    return head + QStringLiteral("  -- average: %1").arg(Round(total / draws));
}

void PairCounts::add(const TZiehung& z) {
    std::array<bool, 256> drawn{};
    for (int i = 0; i < 8; ++i)
        drawn[z.Zahlen[size_t(i)]] = true;
    draws += 1;
    for (int i = 1; i <= kPairs; ++i) {
        if (drawn[size_t(i)] && drawn[size_t(i + 1)]) {
            pairs += 1;
            counter[size_t(i)] += 1;
        }
    }
}

int32_t PairCounts::lowest() const {
    int32_t lo = counter[1];
    for (int i = 1; i <= kPairs; ++i)
        lo = std::min(lo, counter[size_t(i)]);
    return lo;
}

int32_t PairCounts::highest() const {
    return counter[size_t(best())];
}

int PairCounts::best() const {
    int b = 1;
    for (int i = 2; i <= kPairs; ++i)
        if (counter[size_t(i)] > counter[size_t(b)])
            b = i;
    return b;
}

QString PairCounts::title() const {
    const int b = best();
    return QStringLiteral("Draws: %1  pairs: %2  Max: %3 => %4,%5")
        .arg(draws)
        .arg(pairs)
        .arg(highest())
        .arg(b)
        .arg(b + 1);
}

CrossSums crossSums(const std::vector<TZiehung>& draws, double start, double end) {
    CrossSums r;
    for (const TZiehung& z : draws)
        if (inWindowStartExcluded(z.Ziehungsdatum, start, end))
            r.add(z);
    return r;
}

PairCounts pairCounts(const std::vector<TZiehung>& draws, double start, double end) {
    PairCounts r;
    for (const TZiehung& z : draws)
        if (inWindowStartExcluded(z.Ziehungsdatum, start, end))
            r.add(z);
    return r;
}

} // namespace kw
