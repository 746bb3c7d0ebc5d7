#pragma once

#include "engine/DrawHistory.h"
#include "engine/NumberPool.h"
#include "engine/RunSettings.h"
#include "engine/Statistics.h"

namespace kw {

/**
 * What a calculation needs before its first candidate: the statistics the pool asks for (the
 * window shows them on the chart) and the pool itself.
 */
struct RunPlan {
    bool usesDistribution = false;
    bool usesOverdue = false;
    NumberStats distribution; // empty unless used
    NumberStats overdue;
    NumberPool pool;
};

/**
 * Builds the plan from the settings snapshot, the history and the three recent draws. The history
 * is read only for a statistic the pool needs, so its file error comes from there or, later, from
 * the first history test.
 */
RunPlan planRun(const RunSettings& s, const DrawHistory& history, const RecentDraws& recent);

} // namespace kw
