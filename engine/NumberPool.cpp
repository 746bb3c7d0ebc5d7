#include "engine/NumberPool.h"

#include "app/Numbers.h"
#include "engine/Bits.h"

#include <bit>
#include <stdexcept>

namespace kw {

uint64_t NumberPool::numbers() const {
    uint64_t m = 0;
    for (uint8_t v : entries)
        m |= uint64_t(1) << v;
    return m;
}

int NumberPool::distinct() const {
    return bitCount(numbers());
}

bool poolNeedsDistribution(const RunSettings& s) {
    return s.BesOft > 0 || s.BesSelten > 0;
}
bool poolNeedsOverdue(const RunSettings& s) {
    return s.Ueberfaellig > 0;
}

namespace {

void appendRange(std::vector<uint8_t>& pool, const NumberStats& st, int64_t low, int64_t high, int times) {
    for (int n = 1; n <= 37; ++n) {
        const int32_t v = st.value[size_t(n)];
        if (low <= v && v <= high)
            for (int t = 0; t < times; ++t)
                pool.push_back(uint8_t(n));
    }
}

// The top p percent of the range lo..hi twice, the top p/2 percent once more.
void appendTop(std::vector<uint8_t>& pool, const NumberStats& st, int p) {
    const double lo = st.lo, hi = st.hi;
    appendRange(pool, st, Round(hi - p / 100.0 * (hi - lo)), st.hi, 2);
    appendRange(pool, st, Round(hi - p / 200.0 * (hi - lo)), st.hi, 1);
}

void appendBottom(std::vector<uint8_t>& pool, const NumberStats& st, int p) {
    const double lo = st.lo, hi = st.hi;
    appendRange(pool, st, st.lo, Round(lo + p / 100.0 * (hi - lo)), 2);
    appendRange(pool, st, st.lo, Round(lo + p / 200.0 * (hi - lo)), 1);
}

} // namespace

NumberPool buildPool(const RunSettings& s, const RecentDraws& recent, const NumberStats* dist,
                     const NumberStats* overdueStats) {
    if ((poolNeedsDistribution(s) && !dist) || (poolNeedsOverdue(s) && !overdueStats))
        throw std::logic_error("buildPool: statistic missing");
    NumberPool out;
    std::vector<uint8_t>& pool = out.entries;
    pool.reserve(440);
    if (s.BesOft > 0)
        appendTop(pool, *dist, s.BesOft);
    if (s.BesSelten > 0)
        appendBottom(pool, *dist, s.BesSelten);
    if (s.Ueberfaellig > 0)
        appendTop(pool, *overdueStats, s.Ueberfaellig);
    if (s.Benachbarte) {
        for (uint8_t m : recent[0]) {
            // A damaged record may hold numbers above 37; their neighbours are no numbers of the game.
            if (m > 1 && m - 1 <= 37)
                pool.insert(pool.end(), 4, uint8_t(m - 1));
            if (m < 37)
                pool.insert(pool.end(), 4, uint8_t(m + 1));
        }
    }
    if (!s.BevorzugteZahlen) {
        for (int n = 1; n <= 37; ++n)
            pool.push_back(uint8_t(n));
        pool.push_back(1);
    }
    out.distinctBeforeRemoval = out.distinct();

    // Numbers of a recent draw whose match limit is 0 can never pass that filter: take them out.
    uint64_t removed = 0;
    const int limits[3] = {s.UeLetzte, s.Uevorletzte, s.UeVorVorletzte};
    for (int d = 0; d < 3; ++d)
        if (limits[d] == 0)
            for (uint8_t v : recent[size_t(d)])
                if (v < 64)
                    removed |= uint64_t(1) << v;
    auto marked = [&](uint8_t v) { return (removed >> v) & 1; };
    // Close up from the end: a removed entry is replaced by the last one, which is checked again.
    int S = out.S();
    for (int i = 0; i <= S; ++i) {
        while (i <= S && marked(pool[size_t(i)])) {
            pool[size_t(i)] = pool[size_t(S)];
            --S;
        }
    }
    pool.resize(size_t(S + 1));
    return out;
}

QString poolShortageText(const NumberPool& pool, const RunSettings& s) {
    const QString option = QStringLiteral("\"only use preferred numbers for the tips\"");
    if (s.BevorzugteZahlen && pool.distinctBeforeRemoval < 8)
        return QStringLiteral(
                   "Calculation not started: with %1 on, the preferred numbers (particularly often, "
                   "rarely or long overdue numbers and neighbours of the last draw) are only %2 "
                   "different numbers, and a tip needs 8. Prefer more numbers or switch the option off.")
            .arg(option)
            .arg(pool.distinctBeforeRemoval);
    return QStringLiteral(
               "Calculation not started: after removing the numbers of the last draws (max. matches 0) "
               "only %1 different numbers are left, and a tip needs 8. Allow matches with the last "
               "draws or switch off %2.")
        .arg(pool.distinct())
        .arg(option);
}

} // namespace kw
