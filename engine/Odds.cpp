#include "engine/Odds.h"

#include "app/Numbers.h"
#include "engine/Bits.h"
#include "engine/Random.h"
#include "tips/TipTable.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <thread>

namespace kw {

uint64_t binomial(int n, int k) {
    if (k < 0 || n < 0 || k > n)
        return 0;
    k = std::min(k, n - k);
    uint64_t r = 1;
    for (int i = 1; i <= k; ++i)
        r = r * uint64_t(n - k + i) / uint64_t(i); // exact: r * (n-k+i) is C(n-k+i, i) * i
    return r;
}

OneTipOdds oneTipOdds() {
    OneTipOdds o;
    for (int h = 0; h <= 8; ++h) {
        // h of the tip's numbers among the eight drawn, the other 8-h among the 29 left
        const uint64_t main = binomial(8, h) * binomial(29, 8 - h);
        for (int s = 0; s <= 2; ++s) {
            // s supplementary numbers among the tip's 8-h numbers left, 2-s among the 21+h others
            o.ways[size_t(h)][size_t(s)] = main * binomial(8 - h, s) * binomial(21 + h, 2 - s);
            if (h >= 5 || (h == 4 && s > 0))
                o.winWays += o.ways[size_t(h)][size_t(s)];
        }
    }
    return o;
}

QString oneInText(uint64_t ways, uint64_t total) {
    if (ways == 0)
        return QStringLiteral("never");
    const double n = double(total) / double(ways);
    if (n >= 1000)
        return QStringLiteral("1 in ") + formatCount(qint64(std::llround(n)));
    if (n >= 100)
        return QStringLiteral("1 in ") + formatDecimal(n, 0);
    if (n >= 10)
        return QStringLiteral("1 in ") + formatDecimal(n, 1);
    return QStringLiteral("1 in ") + formatDecimal(n, 2);
}

QString percentText(uint64_t ways, uint64_t total) {
    const double p = 100.0 * double(ways) / double(total);
    if (ways == 0)
        return QStringLiteral("0 %");
    // three significant digits, at least three decimals
    const int decimals = std::max(3, 2 - int(std::floor(std::log10(p))));
    return formatDecimal(p, std::min(decimals, 10)) + QStringLiteral(" %");
}

QString chanceText(uint64_t ways, uint64_t total) {
    if (ways == 0)
        return QStringLiteral("never");
    return oneInText(ways, total) + QStringLiteral(" (") + percentText(ways, total) + QLatin1Char(')');
}

namespace {

// Hit counts of up to 16 tips side by side, one byte each; a main set adds its numbers' rows.
using Lanes = uint8_t __attribute__((vector_size(16)));
constexpr int kMaxVectors = (kTipRows + 15) / 16;

inline bool anyLane(Lanes m) {
    uint64_t lo, hi;
    std::memcpy(&lo, &m, 8);
    std::memcpy(&hi, reinterpret_cast<const char*>(&m) + 8, 8);
    return (lo | hi) != 0;
}

struct Counter {
    std::array<std::array<Lanes, kMaxVectors>, 38> holds{}; // holds[n][v] lane i: tip 16v+i holds n
    std::vector<uint64_t> tips;
    std::array<uint64_t, 30> fourWins{}; // pairs of the 29 with at least one number in a set of u

    explicit Counter(const std::vector<uint64_t>& t) : tips(t) {
        for (size_t i = 0; i < tips.size(); ++i)
            for (int n = 1; n <= 37; ++n)
                if (tips[i] >> n & 1)
                    holds[size_t(n)][i / 16][i % 16] = 1;
        for (int u = 0; u <= 29; ++u)
            fourWins[size_t(u)] = kSupplementaryPairs - binomial(29 - u, 2);
    }

    // The draws of a main set whose four-hit tips leave the numbers `left` among the 29 undrawn.
    template <int NV> uint64_t fourHitWays(const Lanes* h, uint64_t drawn) const {
        uint64_t left = 0;
        for (int v = 0; v < NV; ++v) {
            const Lanes four = Lanes(h[v] == 4);
            if (!anyLane(four))
                continue;
            for (int i = 0; i < 16; ++i)
                if (four[i])
                    left |= tips[size_t(16 * v + i)];
        }
        return fourWins[size_t(bitCount(left & ~drawn))];
    }

    template <int NV> static bool anyFive(const Lanes* h) {
        Lanes any{};
        for (int v = 0; v < NV; ++v)
            any |= Lanes(h[v] > 4);
        return anyLane(any);
    }

    template <int NV> static void add(Lanes* out, const Lanes* in, const Lanes* row) {
        for (int v = 0; v < NV; ++v)
            out[v] = in[v] + row[v];
    }

    /** Draws (of kAllDraws) with a winning tip among the main sets starting a, b. */
    template <int NV> uint64_t unit(int a, int b) const {
        Lanes h2[NV], h3[NV], h4[NV], h5[NV], h6[NV], h7[NV], h8[NV];
        add<NV>(h2, holds[size_t(a)].data(), holds[size_t(b)].data());
        const uint64_t m2 = uint64_t(1) << a | uint64_t(1) << b;
        uint64_t ways = 0;
        for (int c = b + 1; c <= 32; ++c) {
            add<NV>(h3, h2, holds[size_t(c)].data());
            const uint64_t m3 = m2 | uint64_t(1) << c;
            for (int d = c + 1; d <= 33; ++d) {
                add<NV>(h4, h3, holds[size_t(d)].data());
                const uint64_t m4 = m3 | uint64_t(1) << d;
                for (int e = d + 1; e <= 34; ++e) {
                    add<NV>(h5, h4, holds[size_t(e)].data());
                    const uint64_t m5 = m4 | uint64_t(1) << e;
                    for (int f = e + 1; f <= 35; ++f) {
                        add<NV>(h6, h5, holds[size_t(f)].data());
                        // a tip with five hits already wins whatever completes the set
                        if (anyFive<NV>(h6)) {
                            ways += kSupplementaryPairs * binomial(37 - f, 2);
                            continue;
                        }
                        const uint64_t m6 = m5 | uint64_t(1) << f;
                        for (int g = f + 1; g <= 36; ++g) {
                            add<NV>(h7, h6, holds[size_t(g)].data());
                            if (anyFive<NV>(h7)) {
                                ways += kSupplementaryPairs * uint64_t(37 - g);
                                continue;
                            }
                            const uint64_t m7 = m6 | uint64_t(1) << g;
                            for (int z = g + 1; z <= 37; ++z) {
                                add<NV>(h8, h7, holds[size_t(z)].data());
                                if (anyFive<NV>(h8))
                                    ways += kSupplementaryPairs;
                                else
                                    ways += fourHitWays<NV>(h8, m7 | uint64_t(1) << z);
                            }
                        }
                    }
                }
            }
        }
        return ways;
    }

    uint64_t run(int vectors, int a, int b) const {
        switch (vectors) {
        case 1:
            return unit<1>(a, b);
        case 2:
            return unit<2>(a, b);
        case 3:
            return unit<3>(a, b);
        case 4:
            return unit<4>(a, b);
        case 5:
            return unit<5>(a, b);
        case 6:
            return unit<6>(a, b);
        default:
            return unit<7>(a, b);
        }
    }
};

} // namespace

std::optional<TipsOdds> tipsOdds(const std::vector<uint64_t>& tips, const std::atomic<bool>* cancel,
                                 const OddsProgress& progress, int threads) {
    TipsOdds out;
    out.tips = int(tips.size());
    const OneTipOdds one = oneTipOdds();
    // Every tip wins in the same number of draws, so the expected count needs no enumeration.
    out.winningTipWays = uint64_t(tips.size()) * one.winWays;
    if (tips.empty()) {
        if (progress)
            progress(1.0);
        return out;
    }
    if (tips.size() > size_t(kTipRows))
        throw std::invalid_argument("tipsOdds: more tips than rows");

    const Counter counter(tips);
    const int vectors = int((tips.size() + 15) / 16);

    // Work units: the first two numbers of the main set, largest first so the threads end together.
    struct Unit {
        int a, b;
        uint64_t sets;
    };
    std::vector<Unit> units;
    for (int a = 1; a <= 30; ++a)
        for (int b = a + 1; b <= 31; ++b)
            units.push_back({a, b, binomial(37 - b, 6)});
    std::atomic<size_t> next{0};
    std::atomic<uint64_t> total{0};
    std::mutex progressLock;
    uint64_t setsDone = 0;

    auto work = [&] {
        uint64_t mine = 0;
        for (;;) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                break;
            const size_t i = next.fetch_add(1);
            if (i >= units.size())
                break;
            mine += counter.run(vectors, units[i].a, units[i].b);
            if (progress) {
                std::lock_guard lock(progressLock);
                setsDone += units[i].sets;
                progress(double(setsDone) / double(kMainSets));
            }
        }
        total += mine;
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::max(1, threads); ++t)
        pool.emplace_back(work);
    work();
    for (auto& t : pool)
        t.join();
    if (cancel && cancel->load())
        return std::nullopt;
    out.anyWinWays = total;
    return out;
}

std::vector<uint64_t> randomTips(int n, uint32_t seed) {
    Random random(seed);
    return randomTips(random, n);
}

std::vector<uint64_t> randomTips(Random& random, int n) {
    std::vector<uint64_t> out;
    for (int i = 0; i < n; ++i) {
        uint64_t tip = 0;
        int have = 0;
        while (have < 8) {
            const uint64_t bit = uint64_t(1) << (1 + random.next(37));
            if (!(tip & bit)) {
                tip |= bit;
                ++have;
            }
        }
        out.push_back(tip);
    }
    return out;
}

std::vector<uint64_t> tipsInPlay(const TipTable& table, int rows) {
    std::vector<uint64_t> out;
    for (int r = 0; r < std::clamp(rows, 0, kTipRows); ++r) {
        uint64_t tip = 0;
        int have = 0;
        for (int p = 1; p <= 8; ++p) {
            const auto v = tryStrToInt(table.Tippreihen[p][r]);
            if (v && *v >= 1 && *v <= 37 && !(tip >> *v & 1)) {
                tip |= uint64_t(1) << *v;
                ++have;
            }
        }
        if (have == 8)
            out.push_back(tip);
    }
    return out;
}

} // namespace kw
