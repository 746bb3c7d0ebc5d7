#include "engine/BackTest.h"

#include "app/Dates.h"
#include "app/Numbers.h"
#include "app/SettingsTable.h"
#include "engine/Bits.h"
#include "engine/DrawHistory.h"
#include "engine/GeneratorRun.h"
#include "engine/Random.h"
#include "engine/RunPlan.h"

#include <QCryptographicHash>
#include <QFile>
#include <cmath>

namespace kw {

uint32_t backTestSeed(const QString& luckyNumber) {
    if (const auto v = tryStrToInt(luckyNumber))
        return uint32_t(*v);
    return kBackTestDefaultSeed;
}

void Outcomes::add(uint64_t tip, const TZiehung& draw) {
    // Counted by the tip check itself, so that a damaged record counts here as it does in the list.
    DrawNumbers Zahl{};
    for (size_t k = 1; k <= 10; ++k)
        Zahl[k] = draw.Zahlen[k - 1];
    std::array<QString, 8> cells;
    size_t p = 0;
    for (int n = 1; n <= 37 && p < 8; ++n)
        if (tip >> n & 1)
            cells[p++] = QString::number(n);
    const CheckResult r = Zettelcheck(Zahl, cells);
    const int held = r.Treffer[9] + r.Treffer[10];
    ++count[std::min<size_t>(r.Gewinn, 8)][size_t(held)];
    ++tips;
    if (isWin(r))
        ++wins;
}

void Outcomes::add(const Outcomes& o) {
    for (size_t h = 0; h < 9; ++h)
        for (size_t s = 0; s < 3; ++s)
            count[h][s] += o.count[h][s];
    tips += o.tips;
    wins += o.wins;
}

namespace {

DrawEight eightOf(const TZiehung& z) {
    DrawEight d{};
    for (size_t k = 0; k < 8; ++k)
        d[k] = z.Zahlen[k];
    return d;
}

} // namespace

RecentDraws recentDrawsAsTheRunSees(const std::vector<TZiehung>& records, double day) {
    // The lookup shows the first draw on or after the day (else the newest); the step back looks
    // up the day before the draw shown, which is the same draw again when that day had none.
    auto lookup = [&records](double d) -> const TZiehung* {
        const double target = double(Round(d));
        const TZiehung* chosen = nullptr;
        for (const TZiehung& z : records) {
            chosen = &z;
            if (!(z.Ziehungsdatum < target))
                break;
        }
        return chosen;
    };
    RecentDraws recent{};
    double shown = day;
    for (size_t k = 0; k < 3; ++k) {
        const TZiehung* z = lookup(k == 0 ? shown : shown - 1);
        if (!z)
            break;
        recent[k] = eightOf(*z);
        shown = z->Ziehungsdatum;
    }
    return recent;
}

namespace {

// The slices are short so that a cancel is noticed quickly.
constexpr std::chrono::milliseconds kSlice{50};

BackTestDraw testOneDraw(const std::vector<TZiehung>& history, int index, const BackTestRecipe& recipe,
                         Random& randomTips, const std::atomic<bool>* cancel, bool& cancelled) {
    BackTestDraw out;
    out.index = index;
    out.day = history[size_t(index)].Ziehungsdatum;

    // What the program knew after the previous draw: the records before this one.
    DrawHistory before = DrawHistory::ofRecords({history.begin(), history.begin() + index});
    RunSettings s = recipe.settings;
    s.drawDay = history[size_t(index - 1)].Ziehungsdatum;
    const RecentDraws recent = recentDrawsAsTheRunSees(before.records(), s.drawDay);

    RunPlan plan = planRun(s, before, recent);
    std::vector<uint64_t> tips;
    if (!plan.pool.canDrawTip()) {
        out.problem =
            poolShortageText(plan.pool, s).replace(QStringLiteral("Calculation not started: "), QString());
    } else {
        TipTable table;
        const int rows = std::clamp(recipe.tips, 0, kTipRows);
        for (int r = 0; r < rows; ++r)
            table.setFlag(r, true);
        Random random(backTestSeed(recipe.luckyNumber));
        GeneratorRun run(
            {&table, rows, recent, std::move(plan.pool), &before, &random, [s] { return s; }, {}});
        const int64_t bound = int64_t(s.MaxLauf) * 1000;
        for (;;) {
            GeneratorRun::Budget budget;
            budget.deadline = std::chrono::steady_clock::now() + kSlice;
            budget.pauseAtCandidates = bound + 1;
            const auto event = run.step(budget);
            if (event == GeneratorRun::Event::Completed)
                break;
            if (event == GeneratorRun::Event::Limit) {
                out.limitReached = run.row() < rows;
                break;
            }
            if (run.candidates() > bound) {
                // The bound came in the middle of a search: take the tip it may have just found.
                GeneratorRun::Budget last;
                last.pauseAtCandidates = 0;
                run.step(last);
                out.limitReached = run.row() < rows;
                break;
            }
            if (cancel && cancel->load()) {
                cancelled = true;
                return out;
            }
        }
        out.candidates = run.candidates();
        for (int r = 0; r < rows; ++r) {
            std::array<int32_t, 8> c{};
            bool full = true;
            for (int p = 1; p <= 8; ++p) {
                const auto v = tryStrToInt(table.Tippreihen[p][r]);
                full = full && v.has_value();
                c[size_t(p - 1)] = v.value_or(0);
            }
            if (full)
                tips.push_back(maskOf(c));
        }
        if (tips.empty())
            out.problem = rows == 0 ? QStringLiteral("the tips count is 0")
                                    : QStringLiteral("no tip passed the filters within the run limit");
    }
    const TZiehung& draw = history[size_t(index)];
    for (uint64_t t : tips)
        out.settings.add(t, draw);
    out.settingsTips = std::move(tips);
    out.randomTips = kw::randomTips(randomTips, int(out.settingsTips.size()));
    for (uint64_t t : out.randomTips)
        out.random.add(t, draw);
    return out;
}

} // namespace

BackTestResult runBackTest(const std::vector<TZiehung>& history, const BackTestRecipe& recipe,
                           const std::atomic<bool>* cancel, const BackTestProgress& progress) {
    BackTestResult result;
    const int n = int(history.size());
    const int first = std::max(1, n - std::max(0, recipe.range));
    const int total = n - first;
    Random randomTips(recipe.randomSeed);
    if (progress)
        progress(0, total);
    for (int i = first; i < n; ++i) {
        if (cancel && cancel->load()) {
            result.cancelled = true;
            break;
        }
        bool cancelled = false;
        BackTestDraw d = testOneDraw(history, i, recipe, randomTips, cancel, cancelled);
        if (cancelled) {
            result.cancelled = true;
            break;
        }
        result.settings.add(d.settings);
        result.random.add(d.random);
        if (d.settingsTips.empty())
            ++result.drawsWithoutTip;
        if (d.limitReached)
            ++result.drawsAtLimit;
        result.draws.push_back(std::move(d));
        if (progress)
            progress(i - first + 1, total);
    }
    result.pValue = settingsWinPValue(result.draws);
    return result;
}

double settingsWinPValue(const std::vector<BackTestDraw>& draws) {
    auto logChoose = [](int n, int k) {
        return std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0);
    };
    std::vector<double> dist{1.0}; // distribution of the settings' wins so far
    int observed = 0;
    for (const BackTestDraw& d : draws) {
        const int n = int(d.settingsTips.size());
        if (n == 0 || int(d.randomTips.size()) != n)
            continue;
        const int w = d.settings.wins + d.random.wins;
        observed += d.settings.wins;
        if (w == 0)
            continue;
        std::vector<double> pmf;
        for (int x = 0; x <= std::min(w, n); ++x) {
            if (w - x > n) {
                pmf.push_back(0);
                continue;
            }
            pmf.push_back(std::exp(logChoose(w, x) + logChoose(2 * n - w, n - x) - logChoose(2 * n, n)));
        }
        std::vector<double> next(dist.size() + pmf.size() - 1, 0.0);
        for (size_t a = 0; a < dist.size(); ++a)
            for (size_t b = 0; b < pmf.size(); ++b)
                next[a + b] += dist[a] * pmf[b];
        dist = std::move(next);
    }
    double tail = 0;
    for (size_t x = size_t(observed); x < dist.size(); ++x)
        tail += dist[x];
    return std::clamp(tail, 0.0, 1.0);
}

namespace {

QString hitsColumns(const Outcomes& o) {
    QStringList cells;
    for (int h = 0; h <= 8; ++h)
        cells << QString::number(o.withHits(h));
    cells << QString::number(o.count[4][1] + o.count[4][2]) << QString::number(o.wins);
    return cells.join(QLatin1Char(','));
}

QString tipsText(const std::vector<uint64_t>& tips) {
    QStringList out;
    for (uint64_t t : tips) {
        QStringList n;
        for (int k = 1; k <= 37; ++k)
            if (t >> k & 1)
                n << QString::number(k);
        out << n.join(QLatin1Char(' '));
    }
    return out.join(QLatin1Char('|'));
}

QString csvText(QString s) {
    if (s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')) || s.contains(QLatin1Char('\n')))
        return QLatin1Char('"') + s.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return s;
}

} // namespace

QString backTestCsv(const BackTestRecipe& recipe, const BackTestResult& result, int historyRecords) {
    QString out;
    auto line = [&out](const QString& a, const QString& b, const QString& c) {
        out += a + QLatin1Char(',') + csvText(b) + QLatin1Char(',') + csvText(c) + QLatin1Char('\n');
    };
    const QString r = QStringLiteral("recipe");
    line(r, QStringLiteral("history_sha256"), QString::fromLatin1(recipe.historySha256));
    line(r, QStringLiteral("history_records"), QString::number(historyRecords));
    line(r, QStringLiteral("range"), QString::number(recipe.range));
    line(r, QStringLiteral("tips_per_draw"), QString::number(recipe.tips));
    line(r, QStringLiteral("lucky_number"), recipe.luckyNumber);
    line(r, QStringLiteral("seed"), QString::number(backTestSeed(recipe.luckyNumber)));
    line(r, QStringLiteral("random_seed"), QString::number(recipe.randomSeed));
    for (const Setting& st : kSettings) {
        if (st.field)
            line(QStringLiteral("setting"), QString::fromLatin1(st.name),
                 QString::number(recipe.settings.*st.field));
        else if (st.flag)
            line(QStringLiteral("setting"), QString::fromLatin1(st.name),
                 recipe.settings.*st.flag ? QStringLiteral("1") : QStringLiteral("0"));
        else if (st.day && st.day != &RunSettings::drawDay)
            line(QStringLiteral("setting"), QString::fromLatin1(st.name), formatDay(recipe.settings.*st.day));
    }
    const QString s = QStringLiteral("result");
    line(s, QStringLiteral("draws"), QString::number(result.draws.size()));
    line(s, QStringLiteral("cancelled"), result.cancelled ? QStringLiteral("1") : QStringLiteral("0"));
    line(s, QStringLiteral("settings_wins"), QString::number(result.settings.wins));
    line(s, QStringLiteral("random_wins"), QString::number(result.random.wins));
    line(s, QStringLiteral("p_value"), QString::number(result.pValue, 'g', 6));
    line(s, QStringLiteral("draws_without_tip"), QString::number(result.drawsWithoutTip));
    out += QLatin1Char('\n');

    QStringList head{QStringLiteral("record"),        QStringLiteral("date"),    QStringLiteral("candidates"),
                     QStringLiteral("limit_reached"), QStringLiteral("problem"), QStringLiteral("tips")};
    for (const char* who : {"settings", "random"}) {
        for (int h = 0; h <= 8; ++h)
            head << QStringLiteral("%1_hits_%2").arg(QLatin1String(who)).arg(h);
        head << QStringLiteral("%1_4_plus_supplementary").arg(QLatin1String(who))
             << QStringLiteral("%1_wins").arg(QLatin1String(who));
    }
    head << QStringLiteral("settings_tips") << QStringLiteral("random_tips");
    out += head.join(QLatin1Char(',')) + QLatin1Char('\n');
    for (const BackTestDraw& d : result.draws) {
        QStringList cells{QString::number(d.index + 1),
                          formatDay(d.day),
                          QString::number(d.candidates),
                          d.limitReached ? QStringLiteral("1") : QStringLiteral("0"),
                          csvText(d.problem),
                          QString::number(d.settingsTips.size()),
                          hitsColumns(d.settings),
                          hitsColumns(d.random),
                          tipsText(d.settingsTips),
                          tipsText(d.randomTips)};
        out += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return out;
}

QByteArray fileSha256(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&f))
        return {};
    return hash.result().toHex();
}

} // namespace kw
