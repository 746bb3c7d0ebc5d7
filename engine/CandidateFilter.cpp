#include "engine/CandidateFilter.h"

#include "app/Dates.h"
#include "app/Numbers.h"
#include "engine/Bits.h"
#include "engine/CpuChoice.h"

#include <algorithm>
#include <bit>

namespace kw {

namespace {

constexpr uint64_t kEven = bitsOf({2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 34, 36});

// The prime test takes its numbers as bytes, so it knows the primes a byte can hold up to 47.
bool isPrimeByte(uint8_t v) {
    constexpr uint64_t kBytePrimes = kPrimeBits | bitsOf({41, 43, 47});
    return v < 64 && ((kBytePrimes >> v) & 1) != 0;
}

template <class A, class B> int pairMatches(const std::array<int32_t, 8>& c, const B& other) {
    int n = 0;
    for (int32_t v : c)
        for (size_t k = 0; k < 8; ++k)
            if (v == A(other[k]))
                ++n;
    return n;
}

int drawnMatches(const std::array<int32_t, 8>& c, const TZiehung& z) {
    int n = 0;
    for (int32_t v : c)
        for (size_t k = 0; k < 8; ++k)
            if (v == int32_t(z.Zahlen[k]))
                ++n;
    return n;
}

} // namespace

uint64_t maskOf(const std::array<int32_t, 8>& numbers) {
    uint64_t m = 0;
    for (int32_t v : numbers)
        if (v >= 1 && v <= 37)
            m |= uint64_t(1) << v;
    return m;
}

bool CandidateFilter::Window::any(uint64_t c, int atLeast) const {
    if (atLeast <= 0)
        return !records.empty();
    for (uint64_t m : single)
        if (bitCount(m & c) >= atLeast)
            return true;
    for (const NumberLayers& l : multi)
        if (l.matches(c) >= atLeast)
            return true;
    return false;
}

int CandidateFilter::Window::best(uint64_t c) const {
    int best = 0;
    for (uint64_t m : single)
        best = std::max(best, bitCount(m & c));
    for (const NumberLayers& l : multi)
        best = std::max(best, l.matches(c));
    return best;
}

void CandidateFilter::buildWindow(Window& w, double start, double end) const {
    w.single.clear();
    w.multi.clear();
    w.records.clear();
    for (const TZiehung& z : m_history->records()) {
        if (!inWindowStartExcluded(z.Ziehungsdatum, start, end))
            continue;
        w.records.push_back(&z);
        const NumberLayers l = NumberLayers::of(z.Zahlen.begin(), z.Zahlen.begin() + 8);
        if (l.count <= 1)
            w.single.push_back(l.layer[0]);
        else
            w.multi.push_back(l);
    }
}

void CandidateFilter::prepare(const RunSettings& s, const DrawHistory& history, const RecentDraws& recent) {
    m_s = s;
    m_history = &history;
    m_recent = recent;
    for (size_t d = 0; d < 3; ++d)
        m_recentLayers[d] = NumberLayers::of(recent[d].begin(), recent[d].end());
    m_recentTest = s.DreioderVier < 8;
    m_allTest = s.Fuenferodersechser < 9;
    if (!history.available())
        return; // the tests that need it raise the file's error when a candidate reaches them
    if (m_recentTest) {
        const WindowKey key{history.generation(), s.drawDay - s.DreioderVierWochen / 2.0 * 7, s.drawDay};
        if (!(key == m_recentKey)) {
            buildWindow(m_recentWindow, key.start, key.end);
            m_recentKey = key;
        }
    }
    if (m_allTest) {
        const WindowKey key{history.generation(), s.chartStart, s.drawDay};
        if (!(key == m_allKey)) {
            buildWindow(m_allWindow, key.start, key.end);
            m_allKey = key;
        }
    }
}

void CandidateFilter::setEarlierTips(const TipTable& table, int row) {
    m_tips.clear();
    m_tipMasks.clear();
    m_tipMulti.clear();
    m_badTip.reset();
    m_badText.clear();
    for (int q = 0; q < row && q < kTipRows; ++q)
        addEarlierTip(table, q);
}

void CandidateFilter::addEarlierTip(const TipTable& table, int q) {
    if (table.Tippreihen[1][q].isEmpty())
        return;
    EarlierTip tip;
    for (int col = 1; col <= 8; ++col) {
        const auto v = tryStrToInt(table.Tippreihen[col][q]);
        if (!v) {
            if (!m_badTip) {
                m_badTip = std::array<int, 2>{q, col};
                m_badText = table.Tippreihen[col][q];
            }
            return;
        }
        tip.values[size_t(col - 1)] = *v;
    }
    tip.layers = NumberLayers::of(tip.values.begin(), tip.values.end());
    if (tip.layers.count <= 1)
        m_tipMasks.push_back(tip.layers.layer[0]);
    else
        m_tipMulti.push_back(tip.layers);
    m_tips.push_back(tip);
}

void CandidateFilter::throwBadTip() const {
    throw ConversionError(QStringLiteral("Tip %1 holds \"%2\" in position %3, which is not a number, so the "
                                         "new tips cannot be compared with it. Correct or delete that tip.")
                              .arg((*m_badTip)[0] + 1)
                              .arg(m_badText)
                              .arg((*m_badTip)[1])
                              .toStdString());
}

void CandidateFilter::requireHistory() const {
    (void)m_history->records(); // throws the file's error
}

namespace {

// Every candidate is held against each earlier tip, so the count of shared numbers is the inner
// loop of a run. The popcnt instruction is not on every x86-64, so it is chosen at run time.
using AgreeFn = bool (*)(const uint64_t*, size_t, uint64_t, int, int);

bool agreesPortable(const uint64_t* masks, size_t count, uint64_t c, int lo, int hi) {
    for (size_t i = 0; i < count; ++i) {
        const int n = bitCount(masks[i] & c);
        if (n < lo || n > hi)
            return false;
    }
    return true;
}

#if defined(__x86_64__) && defined(__GNUC__)
// Four tips at a time without a branch each: which tip a candidate fails at is random, so a
// branch per tip is mispredicted often.
__attribute__((target("popcnt"))) bool agreesPopcnt(const uint64_t* masks, size_t count, uint64_t c, int lo,
                                                    int hi) {
    const unsigned span = unsigned(hi - lo);
    auto outside = [&](uint64_t m) { return unsigned(__builtin_popcountll(m & c) - lo) > span; };
    size_t i = 0;
    for (; i + 4 <= count; i += 4)
        if (outside(masks[i]) | outside(masks[i + 1]) | outside(masks[i + 2]) | outside(masks[i + 3]))
            return false;
    for (; i < count; ++i)
        if (outside(masks[i]))
            return false;
    return true;
}

AgreeFn pickAgrees() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") ? agreesPopcnt : agreesPortable;
}
#else
AgreeFn pickAgrees() {
    return agreesPortable;
}
#endif

AgreeFn agreesWithTips = pickAgrees();

} // namespace

void detail::forcePortableAgreement(bool on) {
    agreesWithTips = on ? agreesPortable : pickAgrees();
}

[[gnu::always_inline]] inline bool CandidateFilter::consistent(uint64_t c) const {
    if (m_badTip)
        throwBadTip();
    const int lo = m_s.MinUeber, hi = m_s.MaxUeber;
    if (!agreesWithTips(m_tipMasks.data(), m_tipMasks.size(), c, lo, hi))
        return false;
    for (const NumberLayers& l : m_tipMulti) {
        const int n = l.matches(c);
        if (n < lo || n > hi)
            return false;
    }
    return true;
}

bool CandidateFilter::accepts(uint64_t c, int sum, FilterTrace& trace) const {
    const RunSettings& s = m_s;
    if (s.MinUeber > 0 || s.MaxUeber < 8)
        if (!consistent(c))
            return false;
    if (s.PaarMuss) {
        const uint64_t pairs = c & (c >> 1);
        if (!pairs || (pairs & (c >> 2)))
            return false;
    }
    if (sum < s.QuerMin || sum > s.QuerMax)
        return false;
    const int limits[3] = {s.UeLetzte, s.Uevorletzte, s.UeVorVorletzte};
    for (size_t d = 0; d < 3; ++d)
        if (limits[d] >= 0 && limits[d] < 8 && m_recentLayers[d].matches(c) > limits[d])
            return false;
    const int even = bitCount(c & kEven);
    if (s.gerade > 0 && even < s.gerade)
        return false;
    if (s.Ungerade > 0 && 8 - even < s.Ungerade)
        return false;
    if (m_recentTest) {
        requireHistory();
        trace.reachedHistory = true;
        if (m_recentWindow.any(c, s.DreioderVier))
            return false;
    }
    if (m_allTest) {
        requireHistory();
        trace.reachedHistory = true;
        trace.reachedAllDraws = true;
        if (s.Fuenferodersechser <= 0 || m_allWindow.any(c, s.Fuenferodersechser))
            return false;
    }
    if (s.Primzahlen > 0 && bitCount(c & kPrimeBits) < s.Primzahlen)
        return false;
    return true;
}

bool CandidateFilter::acceptsAny(const std::array<int32_t, 8>& c, FilterTrace& trace) const {
    const RunSettings& s = m_s;
    if (s.MinUeber > 0 || s.MaxUeber < 8) {
        if (m_badTip)
            throwBadTip();
        int lowest = 8, highest = 0;
        for (const EarlierTip& tip : m_tips) {
            const int n = pairMatches<int32_t>(c, tip.values);
            lowest = std::min(lowest, n);
            highest = std::max(highest, n);
        }
        if (lowest < s.MinUeber || highest > s.MaxUeber)
            return false;
    }
    if (s.PaarMuss) {
        auto next = [&](size_t i) { return int64_t(c[i + 1]) == int64_t(c[i]) + 1; };
        bool pair = false;
        for (size_t i = 0; i < 7; ++i)
            pair = pair || next(i);
        if (!pair)
            return false;
        for (size_t i = 0; i < 6; ++i)
            if (next(i) && next(i + 1))
                return false;
    }
    int64_t sum = 0;
    for (int32_t v : c)
        sum += v;
    if (sum < s.QuerMin || sum > s.QuerMax)
        return false;
    const int limits[3] = {s.UeLetzte, s.Uevorletzte, s.UeVorVorletzte};
    for (size_t d = 0; d < 3; ++d)
        if (limits[d] >= 0 && limits[d] < 8 && pairMatches<int32_t>(c, m_recent[d]) > limits[d])
            return false;
    int even = 0;
    for (int32_t v : c)
        even += v % 2 == 0 ? 1 : 0;
    if (s.gerade > 0 && even < s.gerade)
        return false;
    if (s.Ungerade > 0 && 8 - even < s.Ungerade)
        return false;
    if (m_recentTest) {
        const auto& records = m_history->records();
        trace.reachedHistory = true;
        const double start = s.drawDay - s.DreioderVierWochen / 2.0 * 7;
        for (const TZiehung& z : records)
            if (inWindowStartExcluded(z.Ziehungsdatum, start, s.drawDay) &&
                drawnMatches(c, z) >= s.DreioderVier)
                return false;
    }
    if (m_allTest) {
        const auto& records = m_history->records();
        trace.reachedHistory = true;
        trace.reachedAllDraws = true;
        int best = 0;
        for (const TZiehung& z : records)
            if (inWindowStartExcluded(z.Ziehungsdatum, s.chartStart, s.drawDay))
                best = std::max(best, drawnMatches(c, z));
        if (best >= s.Fuenferodersechser)
            return false;
    }
    if (s.Primzahlen > 0) {
        int primes = 0;
        for (int32_t v : c)
            primes += isPrimeByte(uint8_t(v)) ? 1 : 0;
        if (primes < s.Primzahlen)
            return false;
    }
    return true;
}

int CandidateFilter::bestSinceChartStart(uint64_t c) const {
    if (!m_history || !m_history->available())
        return 0;
    return m_allWindow.best(c);
}

} // namespace kw
