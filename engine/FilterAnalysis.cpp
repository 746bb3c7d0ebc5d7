#include "engine/FilterAnalysis.h"

#include "app/Dates.h"
#include "app/Numbers.h"
#include "engine/Bits.h"
#include "engine/CandidateFilter.h"
#include "engine/CpuChoice.h"
#include "engine/RunPlan.h"

#include <algorithm>
#include <bit>
#include <thread>

namespace kw {

namespace {

constexpr uint64_t kNumbers = ((uint64_t(1) << 38) - 1) & ~uint64_t(1); // bits 1..37
constexpr uint64_t kEvenBits = bitsOf({2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 34, 36});
constexpr uint64_t kOddBits = kNumbers & ~kEvenBits;

struct Binomials {
    uint32_t c[39][9]{};
    constexpr Binomials() {
        for (int n = 0; n <= 38; ++n) {
            c[n][0] = 1;
            for (int k = 1; k <= 8; ++k)
                c[n][k] = n == 0 ? 0 : c[n - 1][k - 1] + c[n - 1][k];
        }
    }
};
constexpr Binomials kC;

/**
 * The subsets of eight places by size, each list ascending, so that those of n places come first;
 * place[k][q] holds the places of subset q, ascending.
 */
struct Subsets {
    uint8_t of[9][70]{};
    uint8_t place[9][70][8]{};
    int count[9]{};
    constexpr Subsets() {
        for (int m = 0; m < 256; ++m) {
            int k = 0;
            for (int i = 0; i < 8; ++i)
                if (m & (1 << i))
                    place[0][0][k++] = uint8_t(i); // scratch, cleared below
            for (int j = 0; j < k; ++j)
                place[k][count[k]][j] = place[0][0][j];
            of[k][count[k]++] = uint8_t(m);
        }
        for (int j = 0; j < 8; ++j)
            place[0][0][j] = 0;
    }
};
constexpr Subsets kSubsets;

/** pairsBefore[m][a]: the pairs a' < b of numbers above m with a' below a, in that order. */
struct PairsBefore {
    uint32_t at[38][38]{};
    constexpr PairsBefore() {
        for (int m = 0; m <= 37; ++m)
            for (int a = m + 1; a <= 37; ++a)
                at[m][a] = a == m + 1 ? 0 : at[m][a - 1] + uint32_t(37 - (a - 1));
    }
};
constexpr PairsBefore kPairsBefore;

/** Bits lo..hi of the numbers 1..37; nothing when the range is empty. */
inline uint64_t rangeBits(int lo, int hi) {
    lo = std::max(lo, 1);
    hi = std::min(hi, 37);
    if (lo > hi)
        return 0;
    return ((uint64_t(2) << hi) - 1) & ~((uint64_t(1) << lo) - 1);
}

/** The numbers whose weight in w is at most m, for m = 0..8. */
std::array<uint64_t, 9> atMostTable(const std::array<uint8_t, 38>& w) {
    std::array<uint64_t, 9> t{};
    for (int m = 0; m <= 8; ++m)
        for (int v = 1; v <= 37; ++v)
            if (w[size_t(v)] <= m)
                t[size_t(m)] |= uint64_t(1) << v;
    return t;
}

std::array<uint8_t, 38> weightsOf(const NumberLayers& l) {
    std::array<uint8_t, 38> w{};
    for (int m = 0; m < l.count; ++m)
        for (int v = 1; v <= 37; ++v)
            if (l.layer[size_t(m)] & (uint64_t(1) << v))
                ++w[size_t(v)];
    return w;
}

/**
 * "At least k matches with one of these draws" (tests 10 and 11). Every k-subset of a draw's
 * numbers is marked once: a set R of k-1 numbers keeps the numbers y above it for which R + y
 * is marked. A tip then fails when a number it adds lies in the union of those masks over its
 * (k-1)-subsets. Draws holding a number twice are few and counted one by one.
 */
struct MatchTest {
    bool on = false;
    bool allFail = false; // a limit of 0 or less
    int k = 0;
    uint64_t root = 0; // k == 1: every number of a draw
    // Up to k = 5 the marks are kept one step further: for a set Q of k-2 numbers and a number x
    // above them, the numbers y for which Q + x + y is marked (rows[rank(Q) * 38 + x]). A tip's
    // prefix then gathers, for every later x, the numbers x would forbid, and adding x costs one OR.
    bool pairs = false;
    std::vector<uint64_t> rows;
    // For k = 3 to 6 a set of k-1 numbers, P + a + b (P of k-3 numbers below a < b), also keeps
    // the numbers above b, shifted down to it: 32 bits hold them for b of 5 or more, which is all
    // a lookup meets (a set with b below 5 is left out). The first five numbers of a tip gather
    // what they forbid as above (for k = 6, whose rows would not fit a cache, from this table), and
    // the seventh looks up only the sets holding the sixth (a) and itself (b), which spares the
    // sixth all its ORs. The table is laid out by P, then a, then b, so what one P and a hold for
    // every b is one run of memory: near[start(P) + pairsBefore[top(P)][a] + b - a - 1].
    std::vector<uint32_t> near;
    std::vector<uint32_t> start; // per colex rank of P
    std::vector<uint8_t> top;    // per colex rank of P: its largest number, 0 for none
    std::vector<uint32_t> keys;  // a hash on the rank where the dense table would be too large
    std::vector<uint64_t> values;
    uint32_t hashMask = 0;
    struct Multi {
        std::array<uint8_t, 38> weight{};
        std::array<uint64_t, 9> atMost{};
    };
    std::vector<Multi> multi;

    static constexpr uint32_t kEmpty = ~uint32_t(0);

    /** Where P + a + b lies in near, P by its colex rank. */
    uint32_t nearAt(uint32_t p, int a, int b) const {
        return start[p] + kPairsBefore.at[top[p]][a] + uint32_t(b - a - 1);
    }

    /** Gives every set P of k-3 numbers its run of the table: the pairs a < b above its largest. */
    void layOutNear() {
        const int s = k - 3;
        start.assign(kC.c[37][s], 0);
        top.assign(kC.c[37][s], 0);
        uint32_t next = 0;
        // the runs follow one another with the sets in lexical order
        int v[4] = {0, 0, 0, 0};
        auto place = [&](auto&& self, int j, int above, uint32_t rank) -> void {
            if (j == s) {
                const int m = s == 0 ? 0 : v[s - 1];
                start[rank] = next;
                top[rank] = uint8_t(m);
                next += kC.c[37 - m][2];
                return;
            }
            for (int x = above + 1; x <= 37; ++x) {
                v[j] = x;
                self(self, j + 1, x, rank + kC.c[x - 1][j + 1]);
            }
        };
        place(place, 0, 0, 0);
        near.assign(next, 0);
    }

    /** k from 2 to 6: the prefix gathers per later number what it forbids. */
    bool gathers() const { return pairs || !near.empty(); }

    uint64_t lookup(uint32_t rank) const {
        for (uint32_t i = (rank * 0x9E3779B1u) & hashMask;; i = (i + 1) & hashMask) {
            if (keys[i] == rank)
                return values[i];
            if (keys[i] == kEmpty)
                return 0;
        }
    }
    uint64_t& slot(uint32_t rank) {
        uint32_t i = (rank * 0x9E3779B1u) & hashMask;
        while (keys[i] != rank && keys[i] != kEmpty)
            i = (i + 1) & hashMask;
        keys[i] = rank;
        return values[i];
    }

    void build(const std::vector<DrawEight>& draws) {
        if (!on || allFail || k > 8)
            return;
        std::vector<uint64_t> singles;
        for (const DrawEight& d : draws) {
            const NumberLayers l = NumberLayers::of(d.begin(), d.end());
            if (l.count <= 1) {
                if (bitCount(l.layer[0]) >= k)
                    singles.push_back(l.layer[0]);
            } else {
                Multi m;
                m.weight = weightsOf(l);
                m.atMost = atMostTable(m.weight);
                multi.push_back(m);
            }
        }
        if (k == 1) {
            for (uint64_t mask : singles)
                root |= mask;
            return;
        }
        pairs = k <= 5;
        if (pairs)
            rows.assign(size_t(kC.c[37][k - 2]) * 38, 0);
        if (k >= 3 && k <= 6)
            layOutNear();
        if (k >= 7) {
            uint32_t cap = 1024;
            while (cap < singles.size() * size_t(kC.c[8][k]) * 2)
                cap *= 2;
            keys.assign(cap, kEmpty);
            values.assign(cap, 0);
            hashMask = cap - 1;
        }
        for (uint64_t mask : singles) {
            int num[8];
            uint32_t term[8][8]; // term[i][j]: what the draw's i-th number adds to a rank as the j-th
            int n = 0;
            for (uint64_t b = mask; b; b &= b - 1)
                num[n++] = std::countr_zero(b);
            for (int i = 0; i < n; ++i)
                for (int j = 1; j < k && j < 8; ++j)
                    term[i][j] = kC.c[num[i] - 1][j];
            for (int q = 0; q < kSubsets.count[k] && kSubsets.of[k][q] < (1u << n); ++q) {
                // the set's lowest k - 2 numbers rank `below`, its lowest k - 1 `rank`
                const uint8_t* at = kSubsets.place[k][q];
                uint32_t lowest = 0; // the lowest k - 3
                for (int j = 0; j + 3 < k; ++j)
                    lowest += term[at[j]][j + 1];
                const uint32_t below = lowest + (k >= 3 ? term[at[k - 3]][k - 2] : 0);
                const uint32_t rank = below + term[at[k - 2]][k - 1];
                const int second = num[at[k - 2]], last = num[at[k - 1]];
                if (pairs)
                    rows[size_t(below) * 38 + size_t(second)] |= uint64_t(1) << last;
                // b below 5 would need more than 32 bits, and only k < 6 has such sets: those look
                // theirs up at the seventh number, which is 7 or more
                if (!near.empty() && second >= 5)
                    near[nearAt(lowest, num[at[k - 3]], second)] |= uint32_t(1) << (last - second - 1);
                if (k >= 7)
                    slot(rank) |= uint64_t(1) << last;
            }
        }
    }
};

/** One earlier tip for test 1: how often each number occurs in it. */
struct EarlierTip {
    std::array<uint8_t, 38> weight{};
    std::array<uint64_t, 9> exactly{}; // numbers of each weight
    uint64_t mask = 0;                 // numbers of weight 1, when it is the only weight above 0
    bool plain = false;
    int maxWeight = 0;
};

/** Everything the threads share: the inputs turned into tables. */
struct Shared {
    const RunSettings* s = nullptr;
    int n = 0;     // numbers in the pool
    int num[37]{}; // them, ascending
    uint64_t pool = 0;
    std::array<bool, kFilterTests> active{};
    std::array<bool, kFilterTests> bites{}; // on, and able to reject a tip of the pool
    int biting[kFilterTests]{};
    int bitingCount = 0;
    int limit[3]{};
    std::array<std::array<uint8_t, 38>, 3> recentWeight{};
    std::array<std::array<uint64_t, 9>, 3> recentAtMost{};
    // what tests 5 to 7 reject of the last number with `room` matches left: rejects[d][max(room + 8, 0)]
    std::array<std::array<uint64_t, 17>, 3> rejects{};
    int drawTests[3]{}; // the ones of them that bite
    int drawTestCount = 0;
    MatchTest recent, all;
    int lists = -1;          // largest subset size whose ranks the prefix keeps
    bool listsAtSix = false; // whether the sixth number's are needed too (k of 7 or 8)
    // test 1
    bool consistency = false;
    std::vector<EarlierTip> tips;
    int minTail[38][9]{}; // sum of the r pool numbers after position i
    int maxTail[9]{};     // sum of the r largest pool numbers
};

struct Level {
    int sum = 0, even = 0, prime = 0;
    int m[3]{};
    bool hasPair = false, hasRun = false, pairEnd = false;
    int last = 0;
    uint64_t f10 = 0, f11 = 0;
    bool fail10 = false, fail11 = false;
};

struct PortableCount {
    static constexpr bool fast = false;
    static int of(uint64_t x) { return bitCount(x); }
};
#if defined(__x86_64__) && defined(__GNUC__)
struct InstructionCount {
    static constexpr bool fast = true;
    static int of(uint64_t x) { return __builtin_popcountll(x); }
};
#endif

// Two words at a time on every processor (SSE2 on x86-64): the per-number tables of 38 words,
// from an even index at or below x + 1 (a word below x + 1 is never read).
using Words2 = uint64_t __attribute__((vector_size(16), aligned(8), may_alias));

[[gnu::always_inline]] inline void copyAbove(uint64_t* h, const uint64_t* g, int x) {
    for (int y = (x + 1) & ~1; y < 38; y += 2)
        *reinterpret_cast<Words2*>(h + y) = *reinterpret_cast<const Words2*>(g + y);
}

[[gnu::always_inline]] inline void orAbove(uint64_t* h, const uint64_t* row, int x) {
    for (int y = (x + 1) & ~1; y < 38; y += 2)
        *reinterpret_cast<Words2*>(h + y) |= *reinterpret_cast<const Words2*>(row + y);
}

// The kernel is inlined whole into one function per way of counting bits (see runTask).
#define KW_INLINE [[gnu::always_inline]] inline

template <bool Row, class Count = PortableCount> class Kernel {
public:
    explicit Kernel(const Shared& sh) : m_sh(sh) {
        const size_t r10 = sh.recent.multi.size(), r11 = sh.all.multi.size(), t = sh.tips.size();
        for (auto& v : m_multi10)
            v.assign(r10, 0);
        for (auto& v : m_multi11)
            v.assign(r11, 0);
        for (auto& v : m_ov)
            v.assign(t, 0);
        m_rank[0][0] = 0;
        for (int w = 0; w < 2; ++w) {
            const MatchTest& t = w == 0 ? sh.recent : sh.all;
            if (t.pairs && t.k == 2)
                for (int x = 1; x <= 37; ++x)
                    m_g[w][0][x] = t.rows[size_t(x)];
        }
        m_lv[0].f10 = sh.recent.root;
        m_lv[0].f11 = sh.all.root;
        m_lv[0].fail10 = sh.recent.on && sh.recent.allFail;
        m_lv[0].fail11 = sh.all.on && sh.all.allFail;
    }

    /** All tips whose first two numbers are the pool's numbers i1 and i2. */
    KW_INLINE void task(int i1, int i2) {
        if (!enter<0>(i1))
            return;
        if (!enter<1>(i2))
            return;
        visit<2>(i2 + 1);
    }

    bool stopped() const { return m_stop; }
    void setStopAt(int64_t n) { m_stopAt = n; }

    int64_t pass = 0;
    std::array<int64_t, kFilterTests> fails{}, onlyFails{};

private:
    template <int J> KW_INLINE void visit(int from) {
        if constexpr (J == 6) {
            // six numbers that stand: where the seventh looks up (a failed test looks up nothing)
            const Level& a = m_lv[6];
            if (m_sh.recent.on && !m_sh.recent.near.empty() && !a.fail10)
                setRuns(m_sh.recent, 0, a.last);
            if (m_sh.all.on && !m_sh.all.near.empty() && !a.fail11)
                setRuns(m_sh.all, 1, a.last);
        }
        if constexpr (!Row && J == 6) {
            lastTwo(from);
        } else {
            const int to = m_sh.n - (8 - J);
            for (int i = from; i <= to; ++i) {
                if (!enter<J>(i))
                    continue;
                if constexpr (J + 1 == 7)
                    leaf(i);
                else
                    visit<J + 1>(i + 1);
                if constexpr (Row)
                    if (m_stop)
                        return;
            }
        }
    }

    /** Level J+1 from level J with the pool's number i added; false when the subtree is done for. */
    template <int J> KW_INLINE bool enter(int i) {
        const Shared& sh = m_sh;
        const RunSettings& s = *sh.s;
        const int x = sh.num[i];
        const Level& a = m_lv[J];
        Level& b = m_lv[J + 1];
        const uint64_t bit = uint64_t(1) << x;
        b.sum = a.sum + x;
        b.even = a.even + ((x & 1) == 0);
        b.prime = a.prime + ((kPrimeBits & bit) != 0);
        for (int d = 0; d < 3; ++d)
            b.m[d] = a.m[d] + sh.recentWeight[size_t(d)][size_t(x)];
        const bool follows = J > 0 && a.last + 1 == x;
        b.hasPair = a.hasPair || follows;
        b.hasRun = a.hasRun || (follows && a.pairEnd);
        b.pairEnd = follows;
        b.last = x;
        advance<J>(0, sh.recent, a.f10, a.fail10, b.f10, b.fail10, m_multi10[J], m_multi10[J + 1], i, bit);
        advance<J>(1, sh.all, a.f11, a.fail11, b.f11, b.fail11, m_multi11[J], m_multi11[J + 1], i, bit);
        if constexpr (J + 1 <= 6)
            extendLists<J>(x);
        if constexpr (Row) {
            const int left = 7 - J; // numbers still to come
            if ((b.fail10 && sh.active[kRecentTest]) || (b.fail11 && sh.active[kAllDrawsTest]))
                return false;
            if (sh.active[kRunTest] && b.hasRun)
                return false;
            for (int d = 0; d < 3; ++d)
                if (sh.active[size_t(kLastDrawTest + d)] && b.m[d] > sh.limit[d])
                    return false;
            if (b.sum + sh.minTail[i][left] > s.QuerMax || b.sum + sh.maxTail[left] < s.QuerMin)
                return false;
            if ((sh.active[kEvenTest] && b.even + left < s.gerade) ||
                (sh.active[kOddTest] && (J + 1 - b.even) + left < s.Ungerade) ||
                (sh.active[kPrimeTest] && b.prime + left < s.Primzahlen))
                return false;
            if (sh.consistency) {
                const auto& from = m_ov[J];
                auto& to = m_ov[J + 1];
                for (size_t q = 0; q < sh.tips.size(); ++q) {
                    const int o = from[q] + sh.tips[q].weight[size_t(x)];
                    to[q] = uint8_t(o);
                    if (o > s.MaxUeber || o + left * sh.tips[q].maxWeight < s.MinUeber)
                        return false;
                }
            }
        }
        return true;
    }

    template <int J>
    KW_INLINE void advance(int which, const MatchTest& t, uint64_t f, bool failed, uint64_t& fOut,
                           bool& failOut, const std::vector<uint8_t>& multiIn, std::vector<uint8_t>& multiOut,
                           int i, uint64_t bit) {
        const int x = m_sh.num[i];
        fOut = f;
        failOut = failed;
        if (!t.on || failed)
            return;
        if (f & bit) {
            failOut = true;
            return;
        }
        if (t.pairs) {
            const uint64_t* g = m_g[which][J];
            if constexpr (J + 1 <= 6)
                fOut = f | g[x];
            else
                fOut = f | seventh(t, which, x);
            if constexpr (J + 1 <= 5) { // the sixth gathers nothing: see seventh()
                uint64_t* h = m_g[which][J + 1];
                copyAbove(h, g, x);
                if (t.k >= 3) {
                    const int s = t.k - 3;
                    const uint32_t base = kC.c[x - 1][t.k - 2];
                    for (uint32_t idx = 0; idx < kC.c[J][s]; ++idx)
                        orAbove(h, t.rows.data() + size_t(m_rank[s][idx] + base) * 38, x);
                }
            }
        } else if (t.k >= 2) {
            if (!t.near.empty()) {
                if constexpr (J + 1 <= 6)
                    fOut = f | m_g[which][J][x];
                else
                    fOut = f | seventh(t, which, x);
                if constexpr (J + 1 == 4 || J + 1 == 5)
                    gatherNear<J>(t, m_g[which][J], m_g[which][J + 1], i);
            } else {
                const int s = t.k - 2;
                const uint32_t base = kC.c[x - 1][t.k - 1];
                uint64_t add = 0;
                for (uint32_t idx = 0; idx < kC.c[J][s]; ++idx)
                    add |= t.lookup(m_rank[s][idx] + base);
                fOut = f | add;
            }
        }
        for (size_t q = 0; q < t.multi.size(); ++q) {
            const int c = multiIn[q] + t.multi[q].weight[size_t(x)];
            multiOut[q] = uint8_t(c);
            if (c >= t.k)
                failOut = true;
        }
    }

    /**
     * k = 6 at the fourth and fifth number x (pool index i): what the prefix's sets of four holding
     * x forbid of each later pool number y, added to what the sets without x forbid (g into h).
     * The seventh number then looks up only the sets holding the sixth, ten instead of fifteen.
     */
    template <int J> KW_INLINE void gatherNear(const MatchTest& t, const uint64_t* g, uint64_t* h, int i) {
        const Shared& sh = m_sh;
        const int x = sh.num[i];
        copyAbove(h, g, x);
        for (uint32_t idx = 0; idx < kC.c[J][3]; ++idx) {
            const uint32_t run = runOf(t, m_rank[3][idx], x); // P + x + y at run + y
            for (int q = i + 1; q < sh.n; ++q) {
                const int y = sh.num[q];
                h[y] |= uint64_t(t.near[run + uint32_t(y)]) << (y + 1);
            }
        }
    }

    /**
     * Six numbers chosen, x the seventh (k = 2 to 6): what the eighth may not be. The first five
     * gathered theirs; the sets of k-1 that hold the sixth and x are looked up, C(5, k-3) of them.
     */
    KW_INLINE uint64_t seventh(const MatchTest& t, int which, int x) const {
        switch (t.k) {
        case 3:
            return seventhOf<3>(t, which, x);
        case 4:
            return seventhOf<4>(t, which, x);
        case 5:
            return seventhOf<5>(t, which, x);
        case 6:
            return seventhOf<6>(t, which, x);
        default:
            return m_g[which][5][x];
        }
    }

    template <int K> KW_INLINE uint64_t seventhOf(const MatchTest& t, int which, int x) const {
        const uint32_t* near = t.near.data();
        uint32_t add = 0;
#pragma GCC unroll 10
        for (uint32_t idx = 0; idx < kC.c[5][K - 3]; ++idx)
            add |= near[m_runs[which][idx] + uint32_t(x)];
        return m_g[which][5][x] | uint64_t(add) << (x + 1);
    }

    /** Where the table's run for P (by colex rank) and a starts: P + a + b is at that plus b. */
    static uint32_t runOf(const MatchTest& t, uint32_t p, int a) {
        return t.start[p] + kPairsBefore.at[t.top[p]][a] - uint32_t(a + 1); // may wrap: unsigned
    }

    /** The sixth number x chosen: the runs of the sets of k-3 of the first five with x. */
    KW_INLINE void setRuns(const MatchTest& t, int which, int x) {
        const int s = t.k - 3;
        for (uint32_t idx = 0; idx < kC.c[5][s]; ++idx)
            m_runs[which][idx] = runOf(t, m_rank[s][idx], x);
    }

    /** The ranks of the prefix's subsets holding x, its (J+1)-th number: each one without x, plus x. */
    template <int J> KW_INLINE void extendLists(int x) {
        if (J + 1 == 6 && !m_sh.listsAtSix)
            return;
        extendSize<J, 1>(x);
        extendSize<J, 2>(x);
        extendSize<J, 3>(x);
        extendSize<J, 4>(x);
        extendSize<J, 5>(x);
        extendSize<J, 6>(x);
    }

    // A prefix of J numbers holds C(J, s) subsets of size s: the loops have fixed lengths.
    template <int J, int S> KW_INLINE void extendSize(int x) {
        if (S > m_sh.lists)
            return;
        const uint32_t add = kC.c[x - 1][S];
        uint32_t* out = m_rank[S] + kC.c[J][S];
        for (uint32_t idx = 0; idx < kC.c[J][S - 1]; ++idx)
            out[idx] = m_rank[S - 1][idx] + add;
    }

    static uint64_t matchMask(const MatchTest& t, uint64_t f, bool failed,
                              const std::vector<uint8_t>& multi) {
        if (failed)
            return 0;
        uint64_t p = ~f;
        for (size_t q = 0; q < t.multi.size(); ++q)
            p &= t.multi[q].atMost[size_t(t.k - 1 - multi[q])];
        return p;
    }

    /** Seven numbers chosen: the eighth is any pool number above the seventh (the row's search). */
    KW_INLINE void leaf(int i7) {
        const Shared& sh = m_sh;
        const RunSettings& s = *sh.s;
        const Level& a = m_lv[7];
        const uint64_t avail = sh.pool & ~((uint64_t(2) << sh.num[i7]) - 1);
        const uint64_t next = uint64_t(2) << a.last; // a.last + 1
        uint64_t p[kFilterTests];
        for (uint64_t& v : p)
            v = ~uint64_t(0);
        if (sh.bites[kPairTest])
            p[kPairTest] = a.hasPair ? ~uint64_t(0) : next;
        if (sh.bites[kRunTest])
            p[kRunTest] = a.hasRun ? 0 : (a.pairEnd ? ~next : ~uint64_t(0));
        if (sh.bites[kCrossSumTest])
            p[kCrossSumTest] = rangeBits(s.QuerMin - a.sum, s.QuerMax - a.sum);
        for (int d = 0; d < 3; ++d)
            if (sh.bites[size_t(kLastDrawTest + d)]) {
                const int room = sh.limit[d] - a.m[d];
                p[kLastDrawTest + d] = room < 0 ? 0 : sh.recentAtMost[size_t(d)][size_t(std::min(room, 8))];
            }
        if (sh.bites[kEvenTest])
            p[kEvenTest] = a.even >= s.gerade ? ~uint64_t(0) : (a.even + 1 == s.gerade ? kEvenBits : 0);
        if (sh.bites[kOddTest]) {
            const int odd = 7 - a.even;
            p[kOddTest] = odd >= s.Ungerade ? ~uint64_t(0) : (odd + 1 == s.Ungerade ? kOddBits : 0);
        }
        if (sh.bites[kRecentTest])
            p[kRecentTest] = matchMask(sh.recent, a.f10, a.fail10, m_multi10[7]);
        if (sh.bites[kAllDrawsTest])
            p[kAllDrawsTest] = matchMask(sh.all, a.f11, a.fail11, m_multi11[7]);
        if (sh.bites[kPrimeTest])
            p[kPrimeTest] =
                a.prime >= s.Primzahlen ? ~uint64_t(0) : (a.prime + 1 == s.Primzahlen ? kPrimeBits : 0);

        uint64_t ok = avail;
        for (uint64_t v : p)
            ok &= v;
        if (ok && sh.consistency)
            for (size_t q = 0; q < sh.tips.size() && ok; ++q) {
                const EarlierTip& t = sh.tips[q];
                const int o = m_ov[7][q];
                if (t.plain) {
                    const bool stay = o >= s.MinUeber && o <= s.MaxUeber;
                    const bool up = o + 1 >= s.MinUeber && o + 1 <= s.MaxUeber;
                    ok &= (stay ? ~t.mask : 0) | (up ? t.mask : 0);
                } else {
                    uint64_t allowed = 0;
                    for (int w = 0; w <= 8; ++w)
                        if (o + w >= s.MinUeber && o + w <= s.MaxUeber)
                            allowed |= t.exactly[size_t(w)];
                    ok &= allowed;
                }
            }
        pass += Count::of(ok);
        if (pass >= m_stopAt)
            m_stop = true;
    }

    /** What a match test rejects of the eighth numbers `avail` once x, the seventh, is added. */
    template <int W>
    KW_INLINE uint64_t lastMatch(const MatchTest& t, uint64_t f, bool failed,
                                 const std::vector<uint8_t>& multi, const uint64_t* sevenths, int x,
                                 uint64_t bit, uint64_t avail) const {
        if (!t.on)
            return 0;
        if (failed || (f & bit))
            return avail;
        if (t.gathers()) {
            f |= sevenths[x];
        } else if (t.k >= 2) {
            const int s = t.k - 2;
            const uint32_t base = kC.c[x - 1][t.k - 1];
            for (uint32_t idx = 0; idx < kC.c[6][s]; ++idx)
                f |= t.lookup(m_rank[s][idx] + base);
        }
        uint64_t p = ~f;
        for (size_t q = 0; q < t.multi.size(); ++q) {
            const int c = multi[q] + t.multi[q].weight[size_t(x)];
            if (c >= t.k)
                return avail;
            p &= t.multi[q].atMost[size_t(t.k - 1 - c)];
        }
        return avail & ~p;
    }

    /**
     * The count's last two numbers: six are chosen, each later pool number is the seventh in
     * turn, and the eighth numbers above it are a mask per test of those the test rejects.
     */
    KW_INLINE void lastTwo(int from) {
        // With the number of tests that bite fixed, the counters of the loop stay in registers.
        switch (m_sh.bitingCount) {
        case 1:
            lastTwoOf<1>(from);
            break;
        case 2:
            lastTwoOf<2>(from);
            break;
        case 3:
            lastTwoOf<3>(from);
            break;
        case 4:
            lastTwoOf<4>(from);
            break;
        case 5:
            lastTwoOf<5>(from);
            break;
        case 6:
            lastTwoOf<6>(from);
            break;
        default:
            lastTwoOf<-1>(from);
        }
    }

    template <int N> KW_INLINE void lastTwoOf(int from) {
        const Shared& sh = m_sh;
        const RunSettings& s = *sh.s;
        const Level& a = m_lv[6];
        const int to = sh.n - 2;
        uint64_t f[kFilterTests];
        Tally<N> tally;
        struct DrawRoom {
            int test, room; // room: matches left after six numbers, plus 8
            const uint8_t* weight;
            const uint64_t* rejects;
        } rooms[3];
        for (int q = 0; q < sh.drawTestCount; ++q) {
            const size_t d = size_t(sh.drawTests[q]);
            rooms[q] = {kLastDrawTest + int(d), sh.limit[d] - a.m[d] + 8, sh.recentWeight[d].data(),
                        sh.rejects[d].data()};
        }
        // The table lookups for every seventh first: loads that do not wait for each other.
        uint64_t sevenths10[38], sevenths11[38];
        if (sh.recent.on && sh.recent.gathers() && !a.fail10)
            for (int i = from; i <= to; ++i)
                sevenths10[sh.num[i]] = seventh(sh.recent, 0, sh.num[i]);
        if (sh.all.on && sh.all.gathers() && !a.fail11)
            for (int i = from; i <= to; ++i)
                sevenths11[sh.num[i]] = seventh(sh.all, 1, sh.num[i]);
        for (int i = from; i <= to; ++i) {
            const int x = sh.num[i];
            const uint64_t bit = uint64_t(1) << x, next = bit << 1;
            const uint64_t avail = sh.pool & ~(next - 1);
            const bool follows = a.last + 1 == x;
            if (sh.bites[kPairTest])
                f[kPairTest] = a.hasPair || follows ? 0 : avail & ~next;
            if (sh.bites[kRunTest])
                f[kRunTest] = a.hasRun || (follows && a.pairEnd) ? avail : follows ? avail & next : 0;
            if (sh.bites[kCrossSumTest]) {
                const int sum = a.sum + x;
                f[kCrossSumTest] = avail & ~rangeBits(s.QuerMin - sum, s.QuerMax - sum);
            }
#pragma GCC unroll 3
            for (int q = 0; q < sh.drawTestCount; ++q) {
                const DrawRoom& r = rooms[q];
                f[r.test] = avail & r.rejects[std::max(r.room - r.weight[x], 0)];
            }
            const int even = a.even + ((x & 1) == 0), odd = 7 - even;
            if (sh.bites[kEvenTest])
                f[kEvenTest] = even >= s.gerade ? 0 : even + 1 == s.gerade ? avail & ~kEvenBits : avail;
            if (sh.bites[kOddTest])
                f[kOddTest] = odd >= s.Ungerade ? 0 : odd + 1 == s.Ungerade ? avail & ~kOddBits : avail;
            if (sh.bites[kPrimeTest]) {
                const int prime = a.prime + ((kPrimeBits & bit) != 0);
                f[kPrimeTest] = prime >= s.Primzahlen       ? 0
                                : prime + 1 == s.Primzahlen ? avail & ~kPrimeBits
                                                            : avail;
            }
            if (sh.bites[kRecentTest])
                f[kRecentTest] =
                    lastMatch<0>(sh.recent, a.f10, a.fail10, m_multi10[6], sevenths10, x, bit, avail);
            if (sh.bites[kAllDrawsTest])
                f[kAllDrawsTest] =
                    lastMatch<1>(sh.all, a.f11, a.fail11, m_multi11[6], sevenths11, x, bit, avail);
            countLast(f, avail, tally);
        }
        pass += tally.pass;
        for (int i = 0; i < tally.width(sh); ++i) {
            fails[size_t(sh.biting[i])] += tally.fails[i];
            onlyFails[size_t(sh.biting[i])] += tally.only[i];
        }
    }

    /** The counts of one loop over the sevenths, per biting test (N of them, or any number for -1). */
    template <int N> struct Tally {
        int64_t pass = 0;
        int64_t fails[N > 0 ? N : kFilterTests]{}, only[N > 0 ? N : kFilterTests]{};
        static int width(const Shared& sh) { return N >= 0 ? N : sh.bitingCount; }
    };

    /** Adds the eighth numbers `avail` with what each test rejects of them (f) to the counts. */
    template <int N> KW_INLINE void countLast(const uint64_t* f, uint64_t avail, Tally<N>& tally) {
        const Shared& sh = m_sh;
        const int width = Tally<N>::width(sh);
        uint64_t once = 0, twice = 0;
#pragma GCC unroll 11
        for (int i = 0; i < width; ++i) {
            const uint64_t m = f[sh.biting[i]];
            twice |= once & m;
            once |= m;
        }
        const int left = Count::of(avail);
        const uint64_t single = once & ~twice;
        if constexpr (Count::fast) {
            tally.pass += left - Count::of(once);
#pragma GCC unroll 11
            for (int i = 0; i < width; ++i) {
                const uint64_t m = f[sh.biting[i]];
                tally.fails[i] += Count::of(m);
                tally.only[i] += Count::of(m & single);
            }
        } else {
            // Most masks are all or nothing of the numbers left: count those without a popcount.
            auto count = [&](uint64_t m) { return m == avail ? left : Count::of(m); };
            if (once != avail)
                tally.pass += left - Count::of(once);
#pragma GCC unroll 11
            for (int i = 0; i < width; ++i) {
                const uint64_t m = f[sh.biting[i]];
                if (m) {
                    tally.fails[i] += count(m);
                    if (m & single)
                        tally.only[i] += count(m & single);
                }
            }
        }
    }

    const Shared& m_sh;
    Level m_lv[8];
    std::vector<uint8_t> m_multi10[8], m_multi11[8];
    std::vector<uint8_t> m_ov[8];
    alignas(16) uint64_t m_g[2][8][38]{}; // per test and level: what each later number would forbid
    uint32_t m_runs[2][10]{};             // per test, after six numbers: see setRuns
    // ranks of the subsets of the prefix by size (colex): C(J, s) of size s at level J
    uint32_t m_rank[7][64]{};
    int64_t m_stopAt = kAllTips + 1;
    bool m_stop = false;
};

Shared prepare(const FilterInputs& in) {
    Shared sh;
    const RunSettings& s = in.settings;
    sh.s = &in.settings;
    sh.pool = in.pool & kNumbers;
    for (uint64_t b = sh.pool; b; b &= b - 1)
        sh.num[sh.n++] = std::countr_zero(b);
    for (int t = 0; t < kFilterTests; ++t)
        sh.active[size_t(t)] = testActive(s, t);
    const int limits[3] = {s.UeLetzte, s.Uevorletzte, s.UeVorVorletzte};
    for (size_t d = 0; d < 3; ++d) {
        sh.limit[d] = limits[d];
        sh.recentWeight[d] = weightsOf(NumberLayers::of(in.recent[d].begin(), in.recent[d].end()));
        sh.recentAtMost[d] = atMostTable(sh.recentWeight[d]);
    }
    // A test that cannot reject any tip of the pool is left out of the count.
    sh.bites = sh.active;
    {
        int low = 0, high = 0;
        for (int q = 0; q < 8 && q < sh.n; ++q) {
            low += sh.num[q];
            high += sh.num[sh.n - 1 - q];
        }
        if (low >= s.QuerMin && high <= s.QuerMax)
            sh.bites[kCrossSumTest] = false;
        for (size_t d = 0; d < 3; ++d) {
            std::vector<int> w;
            for (int q = 0; q < sh.n; ++q)
                w.push_back(sh.recentWeight[d][size_t(sh.num[q])]);
            std::sort(w.rbegin(), w.rend());
            int most = 0;
            for (size_t q = 0; q < 8 && q < w.size(); ++q)
                most += w[q];
            if (most <= sh.limit[d])
                sh.bites[size_t(kLastDrawTest) + d] = false;
        }
    }
    for (int t = 0; t < kFilterTests; ++t)
        if (sh.bites[size_t(t)])
            sh.biting[sh.bitingCount++] = t;
    for (int d = 0; d < 3; ++d) {
        if (sh.bites[size_t(kLastDrawTest + d)])
            sh.drawTests[sh.drawTestCount++] = d;
        for (int r = 0; r <= 16; ++r)
            sh.rejects[size_t(d)][size_t(r)] =
                r < 8 ? ~uint64_t(0) : ~sh.recentAtMost[size_t(d)][size_t(r - 8)];
    }
    sh.recent.on = sh.active[kRecentTest];
    sh.recent.k = s.DreioderVier;
    sh.recent.allFail = s.DreioderVier <= 0 && !in.recentWindow.empty();
    if (s.DreioderVier <= 0 && in.recentWindow.empty())
        sh.recent.on = false;
    sh.recent.build(in.recentWindow);
    sh.all.on = sh.active[kAllDrawsTest];
    sh.all.k = s.Fuenferodersechser;
    sh.all.allFail = s.Fuenferodersechser <= 0;
    sh.all.build(in.allWindow);
    for (const MatchTest* t : {&sh.recent, &sh.all})
        if (t->on && !t->allFail && t->k >= 2)
            sh.lists = std::max(sh.lists, t->pairs || !t->near.empty() ? t->k - 3 : t->k - 2);
    sh.listsAtSix = sh.lists > 3;

    sh.consistency = (s.MinUeber > 0 || s.MaxUeber < 8) && !in.earlierTips.empty();
    for (const auto& tip : in.earlierTips) {
        EarlierTip t;
        for (int32_t v : tip)
            if (v >= 1 && v <= 37)
                ++t.weight[size_t(v)];
        for (int v = 1; v <= 37; ++v) {
            t.exactly[t.weight[size_t(v)]] |= uint64_t(1) << v;
            t.maxWeight = std::max(t.maxWeight, int(t.weight[size_t(v)]));
        }
        t.plain = t.maxWeight <= 1;
        t.mask = t.exactly[1];
        sh.tips.push_back(t);
    }
    for (int i = 0; i < sh.n; ++i)
        for (int r = 0; r <= 8; ++r) {
            int sum = 0;
            for (int q = 1; q <= r; ++q)
                sum += i + q < sh.n ? sh.num[i + q] : 1000; // no room: too large for any bound
            sh.minTail[i][r] = sum;
        }
    for (int r = 0; r <= 8; ++r) {
        int sum = 0;
        for (int q = 0; q < r && q < sh.n; ++q)
            sum += sh.num[sh.n - 1 - q];
        sh.maxTail[r] = sum;
    }
    return sh;
}

template <bool Row> [[gnu::noinline]] void runTask(Kernel<Row, PortableCount>& k, int i1, int i2) {
    k.task(i1, i2);
}

#if defined(__x86_64__) && defined(__GNUC__)
// The popcnt instruction is not on every x86-64, so the kernel is built twice and chosen at run time.
__attribute__((target("popcnt"))) void runTask(Kernel<false, InstructionCount>& k, int i1, int i2) {
    k.task(i1, i2);
}
__attribute__((target("popcnt"))) void runTask(Kernel<true, InstructionCount>& k, int i1, int i2) {
    k.task(i1, i2);
}

bool cpuHasPopcnt() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt");
}
#endif

std::atomic<bool> portableForced{false};

template <bool Row, class Count>
bool runAll(const Shared& sh, int threads, const std::atomic<bool>* cancel, int64_t stopAt,
            std::vector<Kernel<Row, Count>>& kernels) {
    std::vector<std::pair<int, int>> tasks;
    for (int i1 = 0; i1 + 8 <= sh.n; ++i1)
        for (int i2 = i1 + 1; i2 + 7 <= sh.n; ++i2)
            tasks.emplace_back(i1, i2);
    std::atomic<size_t> next{0};
    std::atomic<int64_t> found{0};
    std::atomic<bool> done{false};
    threads = std::max(1, threads);
    kernels.clear();
    for (int t = 0; t < threads; ++t)
        kernels.emplace_back(sh);
    auto work = [&](Kernel<Row, Count>& k) {
        for (;;) {
            if ((cancel && cancel->load(std::memory_order_relaxed)) || done.load(std::memory_order_relaxed))
                return;
            const size_t i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= tasks.size())
                return;
            const int64_t before = k.pass;
            if constexpr (Row)
                k.setStopAt(before + (stopAt - found.load()));
            runTask(k, tasks[i].first, tasks[i].second);
            if constexpr (Row)
                if (found.fetch_add(k.pass - before) + (k.pass - before) >= stopAt)
                    done = true;
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work, std::ref(kernels[size_t(t)]));
    work(kernels[0]);
    for (std::thread& t : pool)
        t.join();
    return !(cancel && cancel->load());
}

} // namespace

bool testActive(const RunSettings& s, int t) {
    switch (t) {
    case kPairTest:
    case kRunTest:
        return s.PaarMuss;
    case kCrossSumTest:
        return true;
    case kLastDrawTest:
        return s.UeLetzte >= 0 && s.UeLetzte < 8;
    case kSecondLastTest:
        return s.Uevorletzte >= 0 && s.Uevorletzte < 8;
    case kThirdLastTest:
        return s.UeVorVorletzte >= 0 && s.UeVorVorletzte < 8;
    case kEvenTest:
        return s.gerade > 0;
    case kOddTest:
        return s.Ungerade > 0;
    case kRecentTest:
        return s.DreioderVier < 8;
    case kAllDrawsTest:
        return s.Fuenferodersechser < 9;
    case kPrimeTest:
        return s.Primzahlen > 0;
    default:
        return false;
    }
}

int64_t tipsOf(uint64_t numbers) {
    return kC.c[bitCount(numbers & kNumbers)][8];
}

FilterInputs filterInputs(const RunSettings& s, const DrawHistory& history, const RecentDraws& recent) {
    FilterInputs in;
    in.settings = s;
    in.recent = recent;
    const RunPlan plan = planRun(s, history, recent);
    in.pool = plan.pool.numbers() & kNumbers;
    const bool recentOn = s.DreioderVier < 8, allOn = s.Fuenferodersechser < 9;
    if (!recentOn && !allOn)
        return in;
    const double start = s.drawDay - s.DreioderVierWochen / 2.0 * 7;
    for (const TZiehung& z : history.records()) {
        DrawEight d{};
        std::copy(z.Zahlen.begin(), z.Zahlen.begin() + 8, d.begin());
        if (recentOn && inWindowStartExcluded(z.Ziehungsdatum, start, s.drawDay))
            in.recentWindow.push_back(d);
        if (allOn && inWindowStartExcluded(z.Ziehungsdatum, s.chartStart, s.drawDay)) {
            in.allWindow.push_back(d);
            in.allWindowDays.push_back(z.Ziehungsdatum);
        }
    }
    return in;
}

void setEarlierTips(FilterInputs& in, const TipTable& table, int row) {
    in.earlierTips.clear();
    in.badEarlierTip = false;
    for (int q = 0; q < row && q < kTipRows; ++q) {
        if (table.Tippreihen[1][q].isEmpty())
            continue;
        std::array<int32_t, 8> tip{};
        bool ok = true;
        for (int col = 1; col <= 8 && ok; ++col) {
            const auto v = tryStrToInt(table.Tippreihen[col][q]);
            ok = v.has_value();
            if (ok)
                tip[size_t(col - 1)] = *v;
        }
        if (!ok) {
            in.badEarlierTip = true;
            continue;
        }
        in.earlierTips.push_back(tip);
    }
}

namespace {

template <class Count>
std::optional<FilterCounts> countWith(const Shared& sh, const std::atomic<bool>* cancel, int threads) {
    FilterCounts out;
    out.active = sh.active;
    out.drawable = tipsOf(sh.pool);
    std::vector<Kernel<false, Count>> kernels;
    if (!runAll<false>(sh, threads, cancel, 0, kernels))
        return std::nullopt;
    for (const auto& k : kernels) {
        out.pass += k.pass;
        for (int t = 0; t < kFilterTests; ++t) {
            out.fails[size_t(t)] += k.fails[size_t(t)];
            out.onlyFails[size_t(t)] += k.onlyFails[size_t(t)];
        }
    }
    return out;
}

template <class Count>
std::optional<int64_t> passingWith(const Shared& sh, int64_t stopAt, const std::atomic<bool>* cancel,
                                   int threads) {
    std::vector<Kernel<true, Count>> kernels;
    if (!runAll<true>(sh, threads, cancel, std::max<int64_t>(stopAt, 1), kernels))
        return std::nullopt;
    int64_t n = 0;
    for (const auto& k : kernels)
        n += k.pass;
    return n;
}

bool instructionCount() {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool has = cpuHasPopcnt();
    return has && !portableForced.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

} // namespace

void detail::forcePortableTipCount(bool on) {
    portableForced = on;
}

std::optional<FilterCounts> countTips(const FilterInputs& in, const std::atomic<bool>* cancel, int threads) {
    const Shared sh = prepare(in);
#if defined(__x86_64__) && defined(__GNUC__)
    if (instructionCount())
        return countWith<InstructionCount>(sh, cancel, threads);
#endif
    return countWith<PortableCount>(sh, cancel, threads);
}

std::optional<int64_t> countPassing(const FilterInputs& in, int64_t stopAt, const std::atomic<bool>* cancel,
                                    int threads) {
    const Shared sh = prepare(in);
#if defined(__x86_64__) && defined(__GNUC__)
    if (instructionCount())
        return passingWith<InstructionCount>(sh, stopAt, cancel, threads);
#endif
    return passingWith<PortableCount>(sh, stopAt, cancel, threads);
}

} // namespace kw
