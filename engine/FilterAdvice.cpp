#include "engine/FilterAdvice.h"

#include "app/Dates.h"
#include "app/Numbers.h"
#include "app/SettingsTable.h"

#include <QStringList>
#include <atomic>
#include <functional>

namespace kw {

namespace {

QString captionOf(const char* name) {
    return QString::fromUtf8(findSetting(name)->description);
}

QString quoted(const RunSettings& s, int t) {
    return QStringLiteral("'%1' = %2").arg(testCaption(t), testValue(s, t));
}

/** Where the proposals are looked for: the history, and a flag that ends the search early. */
struct Search {
    const DrawHistory& history;
    const std::atomic<bool>* cancel = nullptr;
    bool cancelled() const { return cancel && cancel->load(); }
};

/** Whether any tip passes with the settings changed by `change` (no, once the search is cancelled). */
bool anyPasses(const FilterInputs& base, const Search& history, bool withTips,
               const std::function<void(RunSettings&)>& change) {
    if (history.cancelled())
        return false;
    RunSettings s = base.settings;
    change(s);
    FilterInputs in = filterInputs(s, history.history, base.recent);
    if (withTips)
        in.earlierTips = base.earlierTips;
    return countPassing(in, 1, history.cancel).value_or(0) > 0;
}

/** The first of the values (nearest first) that lets a tip through. */
std::optional<int> firstHelping(const FilterInputs& base, const Search& history, bool withTips, int from,
                                int to, int RunSettings::*field) {
    const int step = to >= from ? 1 : -1;
    for (int v = from; v != to + step; v += step)
        if (anyPasses(base, history, withTips, [&](RunSettings& s) { s.*field = v; }))
            return v;
    return std::nullopt;
}

/** The earliest chart start date, among the dates of the window's draws, that lets a tip through. */
std::optional<double> earliestStart(const FilterInputs& base, const Search& history) {
    const std::vector<double>& days = base.allWindowDays;
    if (days.empty())
        return std::nullopt;
    auto passes = [&](size_t i) {
        return anyPasses(base, history, false, [&](RunSettings& s) { s.chartStart = days[i]; });
    };
    size_t lo = 0, hi = days.size() - 1;
    if (!passes(hi))
        return std::nullopt;
    while (lo < hi) { // passes(hi) holds
        const size_t mid = lo + (hi - lo) / 2;
        if (passes(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return days[hi];
}

/** The settings with test t (and for the pair test, the run test with it) switched off. */
void switchOff(RunSettings& s, int t) {
    switch (t) {
    case kPairTest:
    case kRunTest:
        s.PaarMuss = false;
        break;
    case kCrossSumTest:
        s.QuerMin = 0;
        s.QuerMax = 1000;
        break;
    case kLastDrawTest:
        s.UeLetzte = 8;
        break;
    case kSecondLastTest:
        s.Uevorletzte = 8;
        break;
    case kThirdLastTest:
        s.UeVorVorletzte = 8;
        break;
    case kEvenTest:
        s.gerade = 0;
        break;
    case kOddTest:
        s.Ungerade = 0;
        break;
    case kRecentTest:
        s.DreioderVier = 8;
        break;
    case kAllDrawsTest:
        s.Fuenferodersechser = 9;
        break;
    case kPrimeTest:
        s.Primzahlen = 0;
        break;
    default:
        break;
    }
}

QString joinedOr(const QStringList& parts) {
    return parts.join(QStringLiteral(" or "));
}

/** What to change so that test t lets tips through, or nothing when no single change does. */
QStringList changesFor(const FilterInputs& in, const Search& history, int t) {
    const RunSettings& s = in.settings;
    QStringList out;
    auto raise = [&](int RunSettings::*field, int max, const QString& what) {
        if (const auto v = firstHelping(in, history, false, s.*field + 1, max, field))
            out << QStringLiteral("raise %1 to %2").arg(what).arg(*v);
    };
    auto lower = [&](int RunSettings::*field, int min, const QString& what) {
        if (const auto v = firstHelping(in, history, false, s.*field - 1, min, field))
            out << QStringLiteral("lower %1 to %2").arg(what).arg(*v);
    };
    switch (t) {
    case kPairTest:
    case kRunTest:
        if (anyPasses(in, history, false, [](RunSettings& r) { r.PaarMuss = false; }))
            out << QStringLiteral("switch it off");
        break;
    case kCrossSumTest:
        lower(&RunSettings::QuerMin, 21, QStringLiteral("the first"));
        raise(&RunSettings::QuerMax, 268, QStringLiteral("the second"));
        break;
    case kLastDrawTest:
        raise(&RunSettings::UeLetzte, 6, QStringLiteral("it"));
        break;
    case kSecondLastTest:
        raise(&RunSettings::Uevorletzte, 6, QStringLiteral("it"));
        break;
    case kThirdLastTest:
        raise(&RunSettings::UeVorVorletzte, 6, QStringLiteral("it"));
        break;
    case kEvenTest:
        lower(&RunSettings::gerade, 0, QStringLiteral("it"));
        break;
    case kOddTest:
        lower(&RunSettings::Ungerade, 0, QStringLiteral("it"));
        break;
    case kPrimeTest:
        lower(&RunSettings::Primzahlen, 0, QStringLiteral("it"));
        break;
    case kRecentTest:
        raise(&RunSettings::DreioderVier, 8, QStringLiteral("the first"));
        lower(&RunSettings::DreioderVierWochen, 4, QStringLiteral("the second"));
        break;
    case kAllDrawsTest:
        raise(&RunSettings::Fuenferodersechser, 9, QStringLiteral("it"));
        if (const auto day = earliestStart(in, history))
            out << QStringLiteral("move the chart start date to %1").arg(formatDay(*day));
        break;
    default:
        break;
    }
    return out;
}

QString capitalised(QString s) {
    if (!s.isEmpty())
        s[0] = s[0].toUpper();
    return s;
}

QString windowWords(const FilterInputs& in, int t) {
    if (t == kAllDrawsTest)
        return QStringLiteral(" over the %1 draws since %2")
            .arg(formatCount(qint64(in.allWindow.size())), formatDay(in.settings.chartStart));
    if (t == kRecentTest)
        return QStringLiteral(" over the %1 draws of the last %2 days")
            .arg(formatCount(qint64(in.recentWindow.size())))
            .arg(in.settings.DreioderVierWochen * 3.5);
    return {};
}

QString consistencyText(const FilterInputs& in, const Search& history, int row) {
    const RunSettings& s = in.settings;
    QStringList changes;
    const auto lower = firstHelping(in, history, true, s.MinUeber - 1, 0, &RunSettings::MinUeber);
    if (lower)
        changes << QStringLiteral("lower the first to %1").arg(*lower);
    const auto higher = firstHelping(in, history, true, s.MaxUeber + 1, 8, &RunSettings::MaxUeber);
    if (higher)
        changes << QStringLiteral("raise the second to %1").arg(*higher);
    QString text =
        QStringLiteral("No tip can pass for tip %1: '%2' = %3 and '%4' = %5 leave no tip that suits "
                       "the %6 tips above it.")
            .arg(row + 1)
            .arg(captionOf("MinUeber"))
            .arg(s.MinUeber)
            .arg(captionOf("MaxUeber"))
            .arg(s.MaxUeber)
            .arg(in.earlierTips.size());
    if (!changes.isEmpty())
        text += QLatin1Char(' ') + capitalised(joinedOr(changes)) + QLatin1Char('.');
    return text;
}

} // namespace

QString testCaption(int t) {
    switch (t) {
    case kPairTest:
        return captionOf("PaarMuss");
    case kRunTest:
        return captionOf("PaarMuss") + QStringLiteral(" (no run of three)");
    case kCrossSumTest:
        return captionOf("QuerMin");
    case kLastDrawTest:
        return captionOf("UeLetzte");
    case kSecondLastTest:
        return captionOf("Uevorletzte");
    case kThirdLastTest:
        return captionOf("UeVorVorletzte");
    case kEvenTest:
        return captionOf("gerade");
    case kOddTest:
        return captionOf("Ungerade");
    case kRecentTest:
        return captionOf("DreioderVier");
    case kAllDrawsTest:
        return captionOf("Fuenferodersechser");
    case kPrimeTest:
        return captionOf("Primzahlen");
    default:
        return {};
    }
}

QString testValue(const RunSettings& s, int t) {
    switch (t) {
    case kPairTest:
    case kRunTest:
        return s.PaarMuss ? QStringLiteral("on") : QStringLiteral("off");
    case kCrossSumTest:
        return QStringLiteral("%1 and %2").arg(s.QuerMin).arg(s.QuerMax);
    case kLastDrawTest:
        return QString::number(s.UeLetzte);
    case kSecondLastTest:
        return QString::number(s.Uevorletzte);
    case kThirdLastTest:
        return QString::number(s.UeVorVorletzte);
    case kEvenTest:
        return QString::number(s.gerade);
    case kOddTest:
        return QString::number(s.Ungerade);
    case kRecentTest:
        return QStringLiteral("%1 and %2").arg(s.DreioderVier).arg(s.DreioderVierWochen);
    case kAllDrawsTest:
        return QString::number(s.Fuenferodersechser);
    case kPrimeTest:
        return QString::number(s.Primzahlen);
    default:
        return {};
    }
}

std::vector<TestLine> testLines(const RunSettings& s, const FilterCounts& counts) {
    std::vector<TestLine> out;
    for (int t = 0; t < kFilterTests; ++t)
        if (counts.active[size_t(t)])
            out.push_back(
                {t, testCaption(t), testValue(s, t), counts.fails[size_t(t)], counts.onlyFails[size_t(t)]});
    return out;
}

QString countText(const FilterCounts& counts) {
    // A few thousand tips are still tips: give them two figures rather than "0.0 %".
    const double percent = 100.0 * double(counts.pass) / double(kAllTips);
    const QString shown = percent >= 0.1 || counts.pass == 0 ? QString::number(percent, 'f', 1)
                                                             : QString::number(percent, 'g', 2);
    return QStringLiteral("%1 of %2 tips pass your filters (%3 %)")
        .arg(formatCount(counts.pass), formatCount(kAllTips), shown);
}

QString refusalText(const FilterInputs& in, const FilterCounts& counts, const DrawHistory& drawHistory,
                    int row, const std::atomic<bool>* cancel) {
    const Search history{drawHistory, cancel};
    if (counts.pass > 0)
        return consistencyText(in, history, row);
    if (counts.drawable == 0)
        return QStringLiteral("No tip can pass: the number pool holds fewer than eight numbers.");
    const RunSettings& s = in.settings;
    // The tests that alone stand in the way; otherwise those that reject the most together.
    std::vector<int> blocking;
    for (int t = 0; t < kFilterTests; ++t)
        if (counts.active[size_t(t)] && counts.onlyFails[size_t(t)] > 0)
            blocking.push_back(t);
    if (blocking.empty()) {
        std::vector<int> by;
        for (int t = 0; t < kFilterTests; ++t)
            if (counts.active[size_t(t)] && counts.fails[size_t(t)] > 0)
                by.push_back(t);
        std::sort(by.begin(), by.end(),
                  [&](int a, int b) { return counts.fails[size_t(a)] > counts.fails[size_t(b)]; });
        by.resize(std::min<size_t>(by.size(), 2));
        QStringList names;
        for (int t : by)
            names << quoted(s, t);
        return QStringLiteral("No tip can pass: %1 and the other filters reject all tips together. Relax "
                              "more than one of them.")
            .arg(names.join(QStringLiteral(", ")));
    }
    QStringList parts;
    for (int t : blocking) {
        QString part = quoted(s, t) + QStringLiteral(" rejects all tips") + windowWords(in, t);
        const QStringList changes = changesFor(in, history, t);
        part += changes.isEmpty() ? QStringLiteral(".")
                                  : QStringLiteral(". ") + capitalised(joinedOr(changes)) + QLatin1Char('.');
        parts << part;
    }
    return QStringLiteral("No tip can pass: ") + parts.join(QLatin1Char(' '));
}

std::optional<QString> noTipCanPass(const RunSettings& s, const DrawHistory& history,
                                    const RecentDraws& recent, const TipTable& table, int row,
                                    std::optional<uint64_t> pool) {
    FilterInputs in = filterInputs(s, history, recent);
    if (pool)
        in.pool = *pool;
    setEarlierTips(in, table, row);
    if (in.badEarlierTip && (s.MinUeber > 0 || s.MaxUeber < 8))
        return std::nullopt;
    if (countPassing(in, 1).value_or(1) > 0)
        return std::nullopt;
    // Which tests stand in the way, found by searching with each switched off (a search stops at
    // the first tip, far sooner than a full count); the count only when no single test does.
    FilterCounts counts;
    counts.drawable = tipsOf(in.pool);
    FilterInputs alone = in;
    alone.earlierTips.clear();
    counts.pass = countPassing(alone, 1).value_or(0);
    bool blocker = counts.pass > 0;
    for (int t = 0; t < kFilterTests && counts.pass == 0 && counts.drawable > 0; ++t) {
        counts.active[size_t(t)] = testActive(s, t);
        if (!counts.active[size_t(t)] || t == kRunTest) // tests 2 and 3 share their switch
            continue;
        FilterInputs without = alone;
        switchOff(without.settings, t);
        if (countPassing(without, 1).value_or(0) > 0) {
            counts.onlyFails[size_t(t)] = 1;
            blocker = true;
        }
    }
    if (!blocker && counts.drawable > 0) {
        const auto full = countTips(alone);
        if (!full)
            return std::nullopt;
        counts = *full;
    }
    return refusalText(in, counts, history, row);
}

int firstNewRow(const TipTable& table, int rows) {
    for (int r = 0; r < std::min(rows, kTipRows); ++r)
        if (table.Tippreihe1[r] || table.Tippreihen[1][r].isEmpty())
            return r;
    return -1;
}

} // namespace kw
