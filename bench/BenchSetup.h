#pragma once

// The fixed case every benchmark runs: 4,000 daily draws, design settings with
// Fuenferodersechser 6 and MaxLauf 1000, 40 tips, a fixed lucky number.

#include "core/TestUtil.h"
#include "draws/Ziehung.h"
#include "engine/GeneratorRun.h"
#include "engine/RunPlan.h"
#include "engine/RunSettings.h"

#include <QFile>
#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace bench {

inline constexpr int kDraws = 4000;
inline constexpr int kTips = 40;
inline constexpr int32_t kLucky = 20240611;

inline std::vector<kw::TZiehung> history() {
    return kwtest::dailyDraws(kDraws, 4000);
}

inline kw::RunSettings settings(const std::vector<kw::TZiehung>& h) {
    kw::RunSettings s; // design values
    s.Fuenferodersechser = 6;
    s.MaxLauf = 1000;
    s.chartStart = h.front().Ziehungsdatum;
    s.drawDay = h.back().Ziehungsdatum;
    return s;
}

/** The draw on display and the two days before it. */
inline kw::RecentDraws recent(const std::vector<kw::TZiehung>& h) {
    kw::RecentDraws r{};
    for (size_t d = 0; d < 3; ++d)
        std::copy(h[h.size() - 1 - d].Zahlen.begin(), h[h.size() - 1 - d].Zahlen.begin() + 8, r[d].begin());
    return r;
}

/** A tip table whose rows all ask for a new tip. */
inline kw::TipTable emptyTable() {
    kw::TipTable t;
    for (int r = 0; r < kw::kTipRows; ++r)
        t.Tippreihe1[r] = true;
    return t;
}

/**
 * The engine's run as the window starts it: the table prepared, the run planned from the
 * history (refreshed here), the settings fixed. The caller keeps table, history and generator.
 */
inline kw::GeneratorRun::Setup engineSetup(kw::TipTable& table, kw::DrawHistory& history, kw::Random& rng,
                                           const kw::RunSettings& s, const kw::RecentDraws& recent) {
    kw::prepareTipTable(table);
    history.refresh();
    return {&table, kTips, recent, kw::planRun(s, history, recent).pool, &history, &rng, [s] { return s; },
            {}};
}

} // namespace bench
