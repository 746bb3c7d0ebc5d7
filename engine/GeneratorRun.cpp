#include "engine/GeneratorRun.h"

#include "app/Numbers.h"
#include "engine/FilterAdvice.h"

#include <bit>
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
    m_rowCandidates = 0;
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

    const uint8_t* pool = m_s.pool.entries.data();
    const uint64_t poolSize = m_s.pool.entries.size();
    uint32_t seed = m_s.random->seed();
    struct SyncBack {
        Random& shared;
        uint32_t& local;
        ~SyncBack() { shared.setSeed(local); }
    } sync{*m_s.random, seed};

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
            m_rowCandidates = 0;
        }

        // Draw eight different numbers; a repeat is drawn again. Sorting is the order of the bits.
        uint64_t c = 0;
        int sum = 0;
        int have = 0;
        while (have < 8) {
            uint32_t ahead[8];
            for (size_t k = 0; k < 8; ++k)
                ahead[k] = kJump.A[k] * seed + kJump.C[k];
            // A repeat is decided without a branch (it is drawn often and at random); only the
            // eighth new number ends the batch early.
            size_t used = 0;
            while (used < 8) {
                const uint8_t v = pool[(uint64_t(ahead[used++]) * poolSize) >> 32];
                const uint64_t bit = uint64_t(1) << v;
                const int isNew = int(((c & bit) >> v) ^ 1);
                c |= bit;
                sum += v & -isNew;
                have += isNew;
                if (have == 8)
                    break;
            }
            seed = ahead[used - 1];
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
            if (++m_rowCandidates % m_s.checkRowAfter == 0)
                if (auto why = noTipCanPass(m_settings, *m_s.history, m_s.recent, *m_s.table, m_row,
                                            m_s.pool.numbers())) {
                    m_noTipText = *why;
                    return Event::NoTipCanPass;
                }
            if (pause)
                return Event::SliceOver;
        }
    }
}

} // namespace kw
