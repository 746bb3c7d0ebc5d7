#include "engine/RunPlan.h"

namespace kw {

RunPlan planRun(const RunSettings& s, const DrawHistory& history, const RecentDraws& recent) {
    RunPlan plan;
    plan.usesDistribution = poolNeedsDistribution(s);
    plan.usesOverdue = poolNeedsOverdue(s);
    if (plan.usesDistribution)
        plan.distribution = distribution(history.records(), s.chartStart, s.drawDay);
    if (plan.usesOverdue)
        plan.overdue = overdue(history.records(), s.chartStart, s.drawDay);
    plan.pool = buildPool(s, recent, &plan.distribution, &plan.overdue);
    return plan;
}

} // namespace kw
