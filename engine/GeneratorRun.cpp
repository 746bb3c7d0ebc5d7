#include "engine/GeneratorRun.h"

#include "app/Numbers.h"
#include "engine/Bits.h"
#include "engine/CpuChoice.h"
#include "engine/FilterAdvice.h"

#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <stdexcept>

namespace kw {

namespace {

std::array<int32_t, 8> numbersOf(uint64_t c) {
    std::array<int32_t, 8> out{};
    size_t k = 0;
    while (c && k < 8) {
        out[k++] = std::countr_zero(c);
        c &= c - 1;
    }
    return out;
}

// The generator's state k steps ahead is A[k] * seed + C[k]: eight draws can be computed side by
// side instead of waiting for each other.
struct JumpTable {
    std::array<uint32_t, 8> A{}, C{};
    constexpr JumpTable() {
        uint32_t a = 1, c = 0;
        for (size_t k = 0; k < 8; ++k) {
            a = a * Random::kMultiplier;
            c = c * Random::kMultiplier + Random::kIncrement;
            A[k] = a;
            C[k] = c;
        }
    }
};
constexpr JumpTable kJump;

// The generator's state n steps on, by squaring the step (x -> a x + c): log n work, not n.
uint32_t stepsOn(uint32_t s, size_t n) {
    uint32_t a = Random::kMultiplier, c = Random::kIncrement;
    for (; n; n >>= 1) {
        if (n & 1)
            s = a * s + c;
        c = a * c + c;
        a = a * a;
    }
    return s;
}

// The pool entries a run picks follow from the seed alone, whatever the filter decides about the
// candidates, so they are computed ahead in blocks, each as the bit of its number.
class PickStream {
public:
    static constexpr size_t kWindow = 16;
    static constexpr size_t kBlock = 1024;

    PickStream(const std::vector<uint8_t>& pool, uint32_t seed)
        : m_size(pool.size()), m_base(seed), m_next(seed) {
        m_pool.reserve(pool.size());
        for (uint8_t v : pool)
            m_pool.push_back(uint64_t(1) << v);
    }
    /** The seed after the picks consumed so far. */
    uint32_t seed() const { return stepsOn(m_base, m_pos); }
    /** The next picks, not yet consumed: at least n (at most kBlock - 7) of them. */
    const uint64_t* window(size_t n) {
        if (m_pos + n > m_len)
            refill();
        return m_bits + m_pos;
    }
    size_t available() const { return m_len - m_pos; }
    void consume(size_t n) { m_pos += n; }

private:
    void refill() {
        m_base = seed();
        std::copy(m_bits + m_pos, m_bits + m_len, m_bits);
        m_len -= m_pos;
        m_pos = 0;
        uint32_t s = m_next;
        const uint64_t* pool = m_pool.data();
#if defined(__SSE2__)
        // Four states side by side in each half, multiplied in the vector unit: the scalar
        // multiplier shares its port with the popcounts of the draw and the filter.
        __m128i lo = _mm_setr_epi32(int(kJump.A[0] * s + kJump.C[0]), int(kJump.A[1] * s + kJump.C[1]),
                                    int(kJump.A[2] * s + kJump.C[2]), int(kJump.A[3] * s + kJump.C[3]));
        __m128i hi = _mm_setr_epi32(int(kJump.A[4] * s + kJump.C[4]), int(kJump.A[5] * s + kJump.C[5]),
                                    int(kJump.A[6] * s + kJump.C[6]), int(kJump.A[7] * s + kJump.C[7]));
        const __m128i a8 = _mm_set1_epi32(int(kJump.A[7])), c8 = _mm_set1_epi32(int(kJump.C[7]));
        const __m128i size = _mm_set1_epi32(int(uint32_t(m_size)));
        const __m128i high = _mm_set_epi32(-1, 0, -1, 0);
        auto mulLow = [](__m128i x, __m128i m) {
            const __m128i even = _mm_mul_epu32(x, m), odd = _mm_mul_epu32(_mm_srli_epi64(x, 32), m);
            return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                                      _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
        };
        auto index = [&](__m128i x) { // (x * size) >> 32 in each lane
            const __m128i even = _mm_mul_epu32(x, size), odd = _mm_mul_epu32(_mm_srli_epi64(x, 32), size);
            return _mm_or_si128(_mm_srli_epi64(even, 32), _mm_and_si128(odd, high));
        };
        for (; m_len + 8 <= kBlock; m_len += 8) {
            alignas(16) uint32_t at[8];
            _mm_store_si128(reinterpret_cast<__m128i*>(at), index(lo));
            _mm_store_si128(reinterpret_cast<__m128i*>(at + 4), index(hi));
#pragma GCC unroll 8
            for (size_t k = 0; k < 8; ++k)
                m_bits[m_len + k] = pool[at[k]];
            lo = _mm_add_epi32(mulLow(lo, a8), c8);
            hi = _mm_add_epi32(mulLow(hi, a8), c8);
            s = kJump.A[7] * s + kJump.C[7];
        }
#else
        for (; m_len + 8 <= kBlock; m_len += 8) {
#pragma GCC unroll 8
            for (size_t k = 0; k < 8; ++k)
                m_bits[m_len + k] = pool[(uint64_t(kJump.A[k] * s + kJump.C[k]) * m_size) >> 32];
            s = kJump.A[7] * s + kJump.C[7];
        }
#endif
        m_next = s;
    }

    std::vector<uint64_t> m_pool; // the entries' bits
    uint64_t m_size;
    uint32_t m_base; // seed before m_bits[0]
    uint32_t m_next; // seed after the last pick in m_bits
    size_t m_pos = 0, m_len = 0;
    uint64_t m_bits[kBlock];
};

struct PortableCount {
    static int of(uint64_t x) { return bitCount(x); }
};
#if defined(__x86_64__) && defined(__GNUC__)
struct InstructionCount {
    static int of(uint64_t x) { return __builtin_popcountll(x); }
};
#endif

// Bit j of each position 0..63: the sum of a set's numbers is the sum of count(set & kPlace[j]) << j.
constexpr std::array<uint64_t, 6> kPlace = [] {
    std::array<uint64_t, 6> m{};
    for (size_t j = 0; j < 6; ++j)
        for (uint64_t i = 0; i < 64; ++i)
            if ((i >> j) & 1)
                m[j] |= uint64_t(1) << i;
    return m;
}();

// A candidate from the next kWindow picks without a branch per pick (repeats come at random, so
// such branches are mispredicted often). A candidate takes at least eight picks; from the eighth
// on, the running set of the picks grows to eight numbers at the pick that ends the candidate.
// Returns the picks used, or 0 when the window holds fewer than eight different numbers.
template <class Count> [[gnu::always_inline]] inline int drawWindow(const uint64_t* b, uint64_t& out) {
    constexpr size_t kTail = PickStream::kWindow - 7;
    uint64_t x[kTail];
    x[0] = ((b[0] | b[1]) | (b[2] | b[3])) | ((b[4] | b[5]) | (b[6] | b[7]));
#pragma GCC unroll 8
    for (size_t k = 1; k < kTail; ++k)
        x[k] = x[k - 1] | b[7 + k];
    // A set of 8..15 numbers has bit 3 of its count set; only the last can hold 16.
    int closed[3] = {0, 0, 0};
#pragma GCC unroll 9
    for (size_t k = 0; k + 1 < kTail; ++k)
        closed[k % 3] += Count::of(x[k]) >> 3;
    const int opened =
        int(kTail) - (closed[0] + closed[1] + closed[2]) - ((Count::of(x[kTail - 1]) + 8) >> 4);
    if (opened == int(kTail))
        return 0;
    out = x[opened];
    return opened + 8;
}

template <class Count> [[gnu::always_inline]] inline int sumOf(uint64_t c) {
    int s = 0;
#pragma GCC unroll 6
    for (size_t j = 0; j < kPlace.size(); ++j)
        s += Count::of(c & kPlace[j]) << j;
    return s;
}

// Candidates drawn ahead of the filter, which they do not depend on.
struct Drawn {
    static constexpr size_t kMax = 128;
    uint64_t c[kMax];
    int sum[kMax];
    uint32_t end[kMax]; // picks used up to and with this candidate
};

// Draws up to Drawn::kMax candidates from the n picks at b, while a whole window is left and
// holds a candidate. Returns how many. The sums are only worked out when the filter asks for them.
template <class Count>
[[gnu::always_inline]] inline size_t drawAhead(const uint64_t* b, size_t n, bool sums, Drawn& out) {
    size_t pos = 0, i = 0;
    while (i < Drawn::kMax && pos + PickStream::kWindow <= n) {
        const int used = drawWindow<Count>(b + pos, out.c[i]);
        if (!used)
            break;
        pos += size_t(used);
        out.end[i++] = uint32_t(pos);
    }
    if (sums)
        for (size_t k = 0; k < i; ++k)
            out.sum[k] = sumOf<Count>(out.c[k]);
    return i;
}

using DrawFn = size_t (*)(const uint64_t*, size_t, bool, Drawn&);

size_t drawPortable(const uint64_t* b, size_t n, bool sums, Drawn& out) {
    return drawAhead<PortableCount>(b, n, sums, out);
}

#if defined(__x86_64__) && defined(__GNUC__)
// The popcnt instruction is not on every x86-64, so it is chosen at run time.
__attribute__((target("popcnt"))) size_t drawPopcnt(const uint64_t* b, size_t n, bool sums, Drawn& out) {
    return drawAhead<InstructionCount>(b, n, sums, out);
}

DrawFn pickDraw() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") ? drawPopcnt : drawPortable;
}
#else
DrawFn pickDraw() {
    return drawPortable;
}
#endif

DrawFn drawCandidates = pickDraw();

QString joined(const std::array<int32_t, 8>& c) {
    QString s;
    for (size_t i = 0; i < 8; ++i) {
        if (i)
            s += QLatin1String(", ");
        s += QString::number(c[i]);
    }
    return s;
}

} // namespace

void forcePortableCounting(bool on) {
    drawCandidates = on ? drawPortable : pickDraw();
    detail::forcePortableAgreement(on);
    detail::forcePortableTipCount(on);
}

QString candidateStatus(int row, const std::array<int32_t, 8>& c) {
    return QStringLiteral("Test just Tip ") + QString::number(row + 1) + QStringLiteral("  ..") + joined(c);
}

QString allDrawsStatus(const std::array<int32_t, 8>& c, int best) {
    return QStringLiteral("Test just              ..") + joined(c) + QStringLiteral("... Max Treffer: ") +
           QString::number(best);
}

void prepareTipTable(TipTable& table) {
    table.clearMarks();
    std::fill(std::begin(table.Test_Zahlen), std::end(table.Test_Zahlen), false);
    table.Loeschen();
}

GeneratorRun::GeneratorRun(Setup setup) : m_s(std::move(setup)) {
    if (!m_s.table || !m_s.history || !m_s.random || !m_s.settings)
        throw std::logic_error("GeneratorRun: incomplete setup");
    if (!m_s.pool.canDrawTip())
        throw std::logic_error("GeneratorRun: the pool cannot give a tip");
    if (!m_s.writeCell)
        m_s.writeCell = [t = m_s.table](int col, int row, const QString& text) {
            t->setCell(col, row, text);
        };
    m_s.rows = std::clamp(m_s.rows, 0, kTipRows);
    if (m_s.checkRowAfter <= 0)
        m_s.checkRowAfter = std::numeric_limits<int64_t>::max();
}

bool GeneratorRun::takeTipsWritten() {
    return std::exchange(m_tipsWritten, false);
}
bool GeneratorRun::takeHistoryTestRan() {
    return std::exchange(m_historyRan, false);
}

std::array<int32_t, 8> GeneratorRun::lastCandidate() const {
    return numbersOf(m_last);
}

QString GeneratorRun::statusText() const {
    const auto c = lastCandidate();
    if (m_lastReachedAll)
        return allDrawsStatus(c, m_filter.bestSinceChartStart(m_last));
    return candidateStatus(m_lastRow, c);
}

bool GeneratorRun::startRow() {
    TipTable& t = *m_s.table;
    const int r = m_row;
    if (!t.Tippreihe1[r]) {
        // A kept tip is only judged; anything that goes wrong on the way leaves it unmarked.
        try {
            std::array<int32_t, 8> c{};
            for (int p = 1; p <= 8; ++p)
                c[size_t(p - 1)] = StrToInt(t.Tippreihen[p][r]);
            FilterTrace trace;
            // A tip starting with 0 counts as rejected, like a rejected candidate.
            if (!m_filter.acceptsAny(c, trace) || c[0] == 0)
                t.Test_Zahlen[r] = true;
            m_historyRan = m_historyRan || trace.reachedHistory;
        } catch (const std::exception&) {
        }
    }
    if (t.Tippreihe1[r] || t.Tippreihen[1][r].isEmpty()) {
        t.setFlag(r, true);
        return true;
    }
    return false;
}

void GeneratorRun::writeAccepted() {
    const auto c = numbersOf(m_last);
    for (int p = 1; p <= 8; ++p)
        m_s.writeCell(p, m_row, QString::number(c[size_t(p - 1)]));
    m_tipsWritten = true;
    m_pendingAccept = false;
    m_generating = false;
    m_filter.addEarlierTip(*m_s.table, m_row);
    ++m_row;
    m_untilRowCheck = m_s.checkRowAfter;
}

GeneratorRun::Event GeneratorRun::step(const Budget& budget) {
    m_settings = m_s.settings();
    m_s.history->refresh();
    m_filter.prepare(m_settings, *m_s.history, m_s.recent);
    m_filter.setEarlierTips(*m_s.table, m_row);

    // The accepted candidate the last slice paused on.
    if (m_pendingAccept) {
        writeAccepted();
        if (m_candidates > int64_t(m_settings.MaxLauf) * 1000)
            return Event::Limit;
    }

    PickStream picks(m_s.pool.entries, m_s.random->seed());
    struct SyncBack {
        Random& shared;
        const PickStream& picks;
        ~SyncBack() { shared.setSeed(picks.seed()); }
    } sync{*m_s.random, picks};
    Drawn ahead;
    // Eight different numbers of 1..37 add up to 36..260.
    const bool needSums = m_settings.QuerMin > 36 || m_settings.QuerMax < 260;
    size_t drawn = 0, next = 0;
    uint32_t consumed = 0;

    for (;;) {
        if (!m_generating) {
            if (m_row >= m_s.rows)
                return Event::Completed;
            if (!startRow()) {
                m_filter.addEarlierTip(*m_s.table, m_row);
                ++m_row;
                continue;
            }
            m_generating = true;
            m_untilRowCheck = m_s.checkRowAfter;
        }

        // Draw eight different numbers; a repeat is drawn again. Sorting is the order of the bits.
        uint64_t c = 0;
        int sum = 0;
        if (next == drawn) {
            const uint64_t* b = picks.window(PickStream::kBlock / 2);
            drawn = drawCandidates(b, picks.available(), needSums, ahead);
            next = 0;
            consumed = 0;
        }
        if (next < drawn) {
            c = ahead.c[next];
            // Any sum passes when the filter's range holds every possible one.
            sum = needSums ? ahead.sum[next] : 36;
            picks.consume(ahead.end[next] - consumed);
            consumed = ahead.end[next++];
        } else {
            // Many repeats in a row: a small pool with one rare number.
            drawn = next = 0;
            for (int have = 0; have < 8;) {
                const uint64_t bit = *picks.window(1);
                picks.consume(1);
                if (!(c & bit)) {
                    c |= bit;
                    sum += std::countr_zero(bit);
                    ++have;
                }
            }
        }
        ++m_candidates;

        FilterTrace trace;
        const bool ok = m_filter.accepts(c, sum, trace);
        m_last = c;
        m_lastRow = m_row;
        m_lastReachedAll = trace.reachedAllDraws;
        m_historyRan = m_historyRan || trace.reachedHistory;

        const bool pause =
            m_candidates >= budget.pauseAtCandidates ||
            ((ok || (m_candidates & 31) == 0) && std::chrono::steady_clock::now() >= budget.deadline);
        if (ok) {
            m_pendingAccept = true;
            if (pause)
                return Event::SliceOver;
            writeAccepted();
            if (m_candidates > int64_t(m_settings.MaxLauf) * 1000)
                return Event::Limit;
        } else {
            // Only a loop that could never end is cut short: when some tip can pass, the run goes
            // on exactly as it would have.
            if (--m_untilRowCheck == 0) {
                m_untilRowCheck = m_s.checkRowAfter;
                if (auto why = noTipCanPass(m_settings, *m_s.history, m_s.recent, *m_s.table, m_row,
                                            m_s.pool.numbers())) {
                    m_noTipText = *why;
                    return Event::NoTipCanPass;
                }
            }
            if (pause)
                return Event::SliceOver;
        }
    }
}

} // namespace kw
