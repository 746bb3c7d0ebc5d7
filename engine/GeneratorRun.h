#pragma once

#include "engine/CandidateFilter.h"
#include "engine/DrawHistory.h"
#include "engine/NumberPool.h"
#include "engine/Random.h"
#include "engine/RunSettings.h"
#include "tips/TipTable.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

namespace kw {

/**
 * One calculation over the rows 0 .. n-1 of the tip table, after the marked tips were removed:
 * kept tips are judged, the other rows get generated tips. It runs in slices; between slices the
 * caller handles the window's events and may end the run.
 */
class GeneratorRun {
public:
    using SettingsSource = std::function<RunSettings()>;
    using CellWriter = std::function<void(int column, int row, const QString& text)>;

    struct Setup {
        TipTable* table = nullptr;
        int rows = 0; // Anzahl, rounded
        RecentDraws recent{};
        NumberPool pool; // must be able to give a tip
        DrawHistory* history = nullptr;
        Random* random = nullptr; // seeded; advanced as candidates are drawn
        SettingsSource settings;  // read at the start of every slice
        CellWriter writeCell;     // how a cell of an accepted tip is written (default: the table's setter)
        // A row that has drawn this many candidates in a row without a tip is analysed exactly.
        int64_t checkRowAfter = 2'000'000;
    };

    enum class Event {
        SliceOver,    // paused after a candidate; an accepted one is written when the run goes on
        Completed,    // every row is done
        Limit,        // a tip was written and the candidates so far exceed MaxLauf x 1000
        NoTipCanPass, // the row can get no tip at all: noTipText() says why
    };

    /** When to pause: a moment, or once this many candidates have been drawn in the run. */
    struct Budget {
        std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
        int64_t pauseAtCandidates = std::numeric_limits<int64_t>::max();
    };

    explicit GeneratorRun(Setup setup);

    /**
     * Runs until the budget is used up (after a whole candidate) or the run ends. Throws the
     * file error or the conversion error that ends a run.
     */
    Event step(const Budget& budget);

    int64_t candidates() const { return m_candidates; }
    int row() const { return m_row; }
    /** Tips written since the last call (the list needs rebuilding). */
    bool takeTipsWritten();
    /** A history test ran since the last call (it leaves the chart's bars empty). */
    bool takeHistoryTestRan();
    /** The status line as the last candidate left it. */
    QString statusText() const;
    /** Why the run ended with NoTipCanPass. */
    const QString& noTipText() const { return m_noTipText; }
    /** The last candidate, ascending (empty before the first). */
    std::array<int32_t, 8> lastCandidate() const;

private:
    bool startRow(); // true when the row needs a generated tip
    void writeAccepted();

    Setup m_s;
    CandidateFilter m_filter;
    RunSettings m_settings;
    int m_row = 0;
    bool m_generating = false;
    bool m_pendingAccept = false;
    int64_t m_candidates = 0;
    int64_t m_untilRowCheck = 0; // candidates before the row's next check that some tip can pass
    QString m_noTipText;
    uint64_t m_last = 0; // last candidate as bits
    int m_lastRow = 0;
    bool m_lastReachedAll = false;
    bool m_tipsWritten = false;
    bool m_historyRan = false;
};

/** "Test just Tip " + row + "  .." + the numbers, as the run shows its progress. */
QString candidateStatus(int row, const std::array<int32_t, 8>& c);
/** The text of the test against all draws since the chart start date. */
QString allDrawsStatus(const std::array<int32_t, 8>& c, int best);

/** Clears the hit and failure marks and removes the marked tips, as a run starts. */
void prepareTipTable(TipTable& table);

} // namespace kw
