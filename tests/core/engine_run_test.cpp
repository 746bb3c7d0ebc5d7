// The calculation run held against the literal model on many random cases: odd histories and
// records, kept tips of every kind, settings, lucky numbers, stops and run limits.
#include "TestUtil.h"

#include "app/Numbers.h"
#include "draws/HistoryFile.h"
#include "engine/GeneratorRun.h"
#include "engine/RunPlan.h"
#include "oracle/LiteralRun.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <bit>
#include <gtest/gtest.h>
#include <optional>
#include <random>

using namespace kw;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

using End = oracle::Result::End;

struct Outcome {
    End end = End::Completed;
    int64_t candidates = 0;
    std::vector<uint8_t> pool;
    std::vector<QString> acceptedStatus;
    QString lastStatus;
};

/** The engine as the window drives it, paused after random numbers of candidates. */
Outcome engineRun(const QString& path, const RunSettings& s, TipTable& table, int n,
                  const RecentDraws& recent, uint32_t seed, int64_t stopAfter, std::mt19937& slices) {
    Outcome out;
    prepareTipTable(table);
    DrawHistory history(path);
    history.refresh();
    std::optional<GeneratorRun> run;
    try {
        NumberPool pool = planRun(s, history, recent).pool;
        out.pool = pool.entries;
        if (!pool.canDrawTip()) {
            out.end = End::Refused;
            return out;
        }
        Random rng(seed);
        run.emplace(GeneratorRun::Setup{&table, n, recent, pool, &history, &rng, [s] { return s; },
                                        [&](int col, int row, const QString& text) {
                                            table.setCell(col, row, text);
                                            if (col == 1)
                                                out.acceptedStatus.push_back(run->statusText());
                                        }});
        for (;;) {
            GeneratorRun::Budget b;
            b.pauseAtCandidates = std::min<int64_t>(stopAfter, run->candidates() + 1 + slices() % 40);
            const GeneratorRun::Event ev = run->step(b);
            out.candidates = run->candidates();
            if (run->candidates() > 0)
                out.lastStatus = run->statusText();
            if (ev == GeneratorRun::Event::Completed) {
                out.end = End::Completed;
                return out;
            }
            if (ev == GeneratorRun::Event::Limit) {
                out.end = End::Limit;
                return out;
            }
            if (run->candidates() == stopAfter) {
                out.end = End::Stopped;
                return out;
            }
        }
    } catch (const std::exception&) {
        out.end = End::Error;
        if (run)
            out.candidates = run->candidates();
    }
    return out;
}

struct Case {
    std::vector<TZiehung> history;
    bool missingFile = false;
    RunSettings s;
    TipTable table;
    int n = 4;
    RecentDraws recent{};
    uint32_t seed = 0;
    int64_t stopAfter = 0;
};

template <class G> int pick(G& g, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(g);
}
template <class G> bool chance(G& g, double p) {
    return std::bernoulli_distribution(p)(g);
}

template <class G> std::vector<int> distinctNumbers(G& g, int k) {
    std::vector<int> all(37);
    std::iota(all.begin(), all.end(), 1);
    std::shuffle(all.begin(), all.end(), g);
    all.resize(size_t(k));
    return all;
}

template <class G> Case randomCase(G& g) {
    Case c;
    const double base = 44000;
    double day = base;
    const int records = pick(g, 0, 36);
    for (int i = 0; i < records; ++i) {
        TZiehung z;
        z.Ziehungsdatum = day;
        if (chance(g, 0.9)) {
            auto nums = distinctNumbers(g, 10);
            std::sort(nums.begin(), nums.begin() + 8);
            for (size_t k = 0; k < 10; ++k)
                z.Zahlen[k] = uint8_t(nums[k]);
        } else { // damaged: zeros, repeats, bytes above 37
            for (auto& v : z.Zahlen)
                v = uint8_t(chance(g, 0.8) ? pick(g, 0, 40) : 255);
            if (chance(g, 0.5))
                z.Zahlen[1] = z.Zahlen[0];
        }
        c.history.push_back(z);
        const int r = pick(g, 0, 19);
        day += r < 15 ? 1 : r < 17 ? 3 : r < 18 ? 0 : r < 19 ? -4 : 0.5;
    }
    c.missingFile = chance(g, 0.02);

    RunSettings& s = c.s;
    auto pct = [&] { return chance(g, 0.3) ? 0 : pick(g, 1, 75); };
    s.BesOft = pct();
    s.BesSelten = pct();
    s.Ueberfaellig = pct();
    s.Benachbarte = chance(g, 0.3);
    s.BevorzugteZahlen = chance(g, 0.2);
    s.MinUeber = chance(g, 0.5) ? 0 : pick(g, 1, 2);
    s.MaxUeber = pick(g, 2, 8);
    s.PaarMuss = chance(g, 0.2);
    s.QuerMin = chance(g, 0.5) ? 21 : pick(g, 21, 160);
    s.QuerMax = chance(g, 0.5) ? 268 : pick(g, 100, 268);
    s.UeLetzte = pick(g, 0, 6);
    s.Uevorletzte = pick(g, 0, 6);
    s.UeVorVorletzte = pick(g, 0, 6);
    s.gerade = chance(g, 0.6) ? 0 : pick(g, 1, 5);
    s.Ungerade = chance(g, 0.6) ? 0 : pick(g, 1, 5);
    s.DreioderVier = pick(g, 2, 9);
    s.DreioderVierWochen = pick(g, 4, 104);
    s.Fuenferodersechser = pick(g, 3, 9);
    s.Primzahlen = chance(g, 0.6) ? 0 : pick(g, 1, 4);
    const int limits[] = {0, 1, 10, 30};
    s.MaxLauf = limits[pick(g, 0, 3)];
    s.chartStart = base + pick(g, -3, records);
    s.drawDay = base + pick(g, 0, records + 3);

    c.n = pick(g, 1, 8);
    for (int r = 0; r < 12; ++r) {
        c.table.Tippreihe1[r] = chance(g, 0.5);
        const int kind = pick(g, 0, 9);
        if (kind < 4)
            continue; // empty
        std::vector<int> nums = distinctNumbers(g, 8);
        if (kind < 8)
            std::sort(nums.begin(), nums.end());
        else if (kind == 8)
            nums[size_t(pick(g, 0, 7))] = chance(g, 0.5) ? nums[0] : pick(g, -1, 300); // repeat or odd
        for (int p = 1; p <= 8; ++p)
            c.table.Tippreihen[p][r] = QString::number(nums[size_t(p - 1)]);
        if (kind == 9)
            c.table.Tippreihen[pick(g, 1, 8)][r] = chance(g, 0.5) ? QStringLiteral("x") : QString();
    }
    for (auto& d : c.recent) {
        if (!c.history.empty() && chance(g, 0.8)) {
            const TZiehung& z = c.history[size_t(pick(g, 0, records - 1))];
            std::copy(z.Zahlen.begin(), z.Zahlen.begin() + 8, d.begin());
        } else {
            for (auto& v : d)
                v = uint8_t(pick(g, 0, 38));
        }
    }
    c.seed = uint32_t(g());
    c.stopAfter = pick(g, 1, 600);
    return c;
}

void expectSameTable(const TipTable& a, const TipTable& b) {
    for (int r = 0; r < kTipRows; ++r) {
        ASSERT_EQ(a.Tippreihe1[r], b.Tippreihe1[r]) << "flag of row " << r;
        ASSERT_EQ(a.Test_Zahlen[r], b.Test_Zahlen[r]) << "failure mark of row " << r;
        for (int c = 1; c <= 10; ++c)
            ASSERT_EQ(a.Tippreihen[c][r], b.Tippreihen[c][r]) << "cell " << c << " of row " << r;
    }
}

} // namespace

TEST(EngineRun, SameTipsAsTheLiteralModel) {
    std::mt19937 g(20240611);
    std::mt19937 slices(7);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    int ends[5] = {};
    int64_t accepted = 0;
    const int kCases = 2000;
    for (int i = 0; i < kCases; ++i) {
        Case c = randomCase(g);
        QFile::remove(path);
        if (!c.missingFile)
            kwtest::writeHistory(path, c.history);

        TipTable literalTable = c.table;
        const oracle::Result want = oracle::run(path, c.s, literalTable, c.n, c.recent, c.seed, c.stopAfter);
        TipTable engineTable = c.table;
        const Outcome got = engineRun(path, c.s, engineTable, c.n, c.recent, c.seed, c.stopAfter, slices);

        SCOPED_TRACE(testing::Message() << "case " << i);
        ASSERT_EQ(int(got.end), int(want.end));
        ASSERT_EQ(got.pool, want.pool);
        if (want.end == End::Refused || (want.end == End::Error && want.pool.empty()))
            continue; // nothing was drawn; the window leaves the table alone then
        ASSERT_EQ(got.candidates, want.candidates);
        expectSameTable(engineTable, literalTable);
        ASSERT_EQ(got.acceptedStatus, want.acceptedStatus);
        if (want.candidates > 0 && want.end != End::Error) {
            ASSERT_EQ(got.lastStatus, want.lastStatus);
        }
        ++ends[int(want.end)];
        accepted += int64_t(want.acceptedStatus.size());
    }
    // The random cases must reach every end, or the comparison proves less than it seems.
    EXPECT_GT(ends[int(End::Completed)], 50);
    EXPECT_GT(ends[int(End::Stopped)], 50);
    EXPECT_GT(ends[int(End::Limit)], 10);
    EXPECT_GT(ends[int(End::Error)], 5);
    EXPECT_GT(accepted, 1500);
}

TEST(EngineRun, HistoryIsReadAgainWhenTheFileGrows) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    kwtest::writeHistory(path, {kwtest::draw(100, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})});
    DrawHistory h(path);
    h.refresh();
    ASSERT_EQ(h.records().size(), 1u);
    const uint64_t first = h.generation();
    h.refresh();
    EXPECT_EQ(h.generation(), first); // unchanged file: not read again
    {
        HistoryFile::Appender a(path);
        a.append(kwtest::draw(101, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
        a.close();
    }
    h.refresh();
    EXPECT_EQ(h.records().size(), 2u);
    QFile::remove(path);
    h.refresh();
    EXPECT_FALSE(h.available());
    EXPECT_THROW(h.records(), FileError);
}

// A row that draws many candidates without a tip is analysed: it ends when no tip can pass, and
// goes on unchanged when one can.
TEST(EngineRun, RowWithoutAnyPossibleTipEndsAndOneWithRareTipsGoesOn) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setforlife.dat"));
    const std::vector<TZiehung> h = kwtest::dailyDraws(4000, 4000);
    kwtest::writeHistory(path, h);
    RunSettings s; // design values: five shared numbers with any draw since the first reject every tip
    s.MaxLauf = 1000;
    s.chartStart = h.front().Ziehungsdatum;
    s.drawDay = h.back().Ziehungsdatum;
    RecentDraws recent{};
    for (size_t d = 0; d < 3; ++d)
        std::copy(h[h.size() - 1 - d].Zahlen.begin(), h[h.size() - 1 - d].Zahlen.begin() + 8,
                  recent[d].begin());

    struct Ran {
        GeneratorRun::Event end;
        int64_t candidates;
        QString text;
        std::vector<QString> tips;
    };
    auto run = [&](const RunSettings& t, int64_t checkAfter) {
        TipTable table;
        for (int r = 0; r < 4; ++r)
            table.Tippreihe1[r] = true;
        prepareTipTable(table);
        DrawHistory history(path);
        history.refresh();
        Random rng(12345);
        GeneratorRun::Setup setup{
            &table, 4, recent, planRun(t, history, recent).pool, &history, &rng, [t] { return t; }, {}};
        setup.checkRowAfter = checkAfter;
        GeneratorRun g(setup);
        GeneratorRun::Budget budget;
        budget.pauseAtCandidates = 200000; // a safety net for the test itself
        const auto end = g.step(budget);
        Ran out{end, g.candidates(), g.noTipText(), {}};
        for (int r = 0; r < 4; ++r)
            out.tips.push_back(kwtest::tipOf(table, r));
        return out;
    };

    const Ran blocked = run(s, 1000);
    EXPECT_EQ(blocked.end, GeneratorRun::Event::NoTipCanPass);
    EXPECT_EQ(blocked.candidates, 1000);
    EXPECT_TRUE(blocked.text.startsWith(
        QStringLiteral("No tip can pass: 'Do not have an X in all previous draws' = 5 rejects all tips")))
        << blocked.text.toStdString();

    RunSettings six = s; // rare tips: hundreds of candidates for each
    six.Fuenferodersechser = 6;
    const Ran checked = run(six, 150), plain = run(six, 0);
    EXPECT_EQ(plain.end, GeneratorRun::Event::Completed);
    EXPECT_EQ(checked.end, plain.end);
    EXPECT_EQ(checked.candidates, plain.candidates);
    EXPECT_EQ(checked.tips, plain.tips);
    EXPECT_GT(plain.candidates, 4 * 150);
}

// Candidates are drawn ahead in windows of picks; a pool whose last number is rare needs more
// picks than a window holds, and a run cut into single-candidate slices must hand the generator
// back exactly where each candidate ended. Every candidate passes here, so each row is one
// candidate drawn pick by pick as the game's rule says.
TEST(EngineRun, PoolsWithARareNumberDrawEachCandidatePickByPick) {
    RunSettings s; // nothing rejects a candidate
    s.MinUeber = 0;
    s.MaxUeber = 8;
    s.UeLetzte = s.Uevorletzte = s.UeVorVorletzte = 8;
    s.DreioderVier = 8;
    s.Fuenferodersechser = 9;
    struct PoolCase {
        const char* name;
        int commonTimes, rareTimes, numbers;
    };
    const PoolCase cases[] = {
        {"one rare among 7 x 30", 30, 1, 8}, // never within one window
        {"two rare among 7 x 3", 3, 2, 8},   // sometimes within one window
        {"37 numbers once each", 1, 1, 37},  // almost always within one window
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setforlife.dat")); // never read here
    const int rows = 30;
    for (const PoolCase& pc : cases) {
        NumberPool pool;
        for (int n = 1; n < pc.numbers; ++n)
            pool.entries.insert(pool.entries.end(), size_t(pc.commonTimes), uint8_t(n));
        pool.entries.insert(pool.entries.end(), size_t(pc.rareTimes), uint8_t(pc.numbers));

        Random want(777);
        std::vector<QString> wantTips;
        for (int r = 0; r < rows; ++r) {
            uint64_t c = 0;
            while (std::popcount(c) < 8)
                c |= uint64_t(1) << pool.entries[want.next(uint32_t(pool.entries.size()))];
            QString tip;
            for (int n = 1; n <= 37; ++n)
                if ((c >> n) & 1)
                    tip += (tip.isEmpty() ? QString() : QStringLiteral(" ")) + QString::number(n);
            wantTips.push_back(tip);
        }

        for (const int64_t perSlice : {int64_t(0), int64_t(1)}) {
            SCOPED_TRACE(testing::Message() << pc.name << (perSlice ? ", one candidate per slice" : ""));
            TipTable table;
            for (int r = 0; r < rows; ++r)
                table.Tippreihe1[r] = true;
            prepareTipTable(table);
            DrawHistory history(path);
            Random rng(777);
            GeneratorRun g({&table, rows, RecentDraws{}, pool, &history, &rng, [s] { return s; }, {}});
            GeneratorRun::Event end{};
            for (int64_t k = 1; k <= 10 * rows; ++k) {
                GeneratorRun::Budget budget;
                if (perSlice)
                    budget.pauseAtCandidates = k;
                end = g.step(budget);
                if (end != GeneratorRun::Event::SliceOver)
                    break;
            }
            EXPECT_EQ(end, GeneratorRun::Event::Completed);
            EXPECT_EQ(g.candidates(), rows);
            EXPECT_EQ(rng.seed(), want.seed());
            for (int r = 0; r < rows; ++r) {
                QStringList got;
                for (int p = 1; p <= 8; ++p)
                    got << table.Tippreihen[p][r];
                EXPECT_EQ(got.join(QStringLiteral(" ")), wantTips[size_t(r)]) << "row " << r;
            }
        }
    }
}
