#pragma once

#include "draws/Ziehung.h"
#include "engine/Odds.h"
#include "engine/RunSettings.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace kw {

/** Everything a back-test depends on: the same recipe on the same history gives the same results. */
struct BackTestRecipe {
    RunSettings settings; // as set; the draw day is the one before each tested draw
    int tips = 10;        // rows per draw (Anzahl)
    QString luckyNumber;  // seeds every draw's run when it is a number
    int range = 100;      // the last `range` draws of the history
    uint32_t randomSeed = kRandomTipsSeed;
    QByteArray historySha256; // hex digest of the history file the records came from
};

/** The seed of every draw's run: the lucky number when it is one, else a fixed seed (a clock seed would not
 * repeat). */
uint32_t backTestSeed(const QString& luckyNumber);
inline constexpr uint32_t kBackTestDefaultSeed = 12345u;

/** Outcomes of a group of tips against draws, as the tip check distinguishes them. */
struct Outcomes {
    std::array<std::array<int, 3>, 9> count{}; // [main hits][supplementary numbers held]
    int tips = 0;
    int wins = 0;

    void add(uint64_t tip, const TZiehung& draw);
    void add(const Outcomes& o);
    int withHits(int hits) const {
        return count[size_t(hits)][0] + count[size_t(hits)][1] + count[size_t(hits)][2];
    }
};

struct BackTestDraw {
    int index = 0;  // of the record in the history
    double day = 0; // its date
    int64_t candidates = 0;
    bool limitReached = false; // the run limit ended the draw before every row had a tip
    QString problem;           // why the settings gave no tip at all ("" when they gave some)
    std::vector<uint64_t> settingsTips, randomTips; // as bits; as many random tips as settings tips
    Outcomes settings, random;
};

struct BackTestResult {
    std::vector<BackTestDraw> draws;
    Outcomes settings, random;
    int drawsWithoutTip = 0;
    int drawsAtLimit = 0;
    bool cancelled = false;
    double pValue = 1; // that the settings' tips win at least as often as they did if they were no better
};

using BackTestProgress = std::function<void(int done, int total)>;

/**
 * The three draws a calculation takes as last, second-last and third-last when the day is on
 * display: the lookup of the day, then twice the step to the day before the draw shown (which
 * finds the same draw again when that day had no draw).
 */
RecentDraws recentDrawsAsTheRunSees(const std::vector<TZiehung>& records, double day);

/**
 * Walks forward over the last recipe.range draws. For each, the run sees only the records
 * before it: the settings' draw day is the previous draw, the three recent draws are found
 * from it as the run finds them, and the history is cut there; it generates up to recipe.tips tips, bounded
 * by the run limit (MaxLauf x 1000 candidates). As many uniformly random tips come from one stream seeded
 * with recipe.randomSeed. A cancelled walk returns the draws done so far.
 */
BackTestResult runBackTest(const std::vector<TZiehung>& history, const BackTestRecipe& recipe,
                           const std::atomic<bool>* cancel = nullptr, const BackTestProgress& progress = {});

/**
 * One-sided exact test that the settings' tips win more often than the random ones: within each
 * draw the labels "settings" and "random" of its tips are exchangeable if the settings are no
 * better, so given the draw's wins the settings' share is hypergeometric; the p-value is the
 * upper tail of the sum of these over the draws.
 */
double settingsWinPValue(const std::vector<BackTestDraw>& draws);

/** The recipe and one line per draw, comma-separated, for a spreadsheet or a later comparison. */
QString backTestCsv(const BackTestRecipe& recipe, const BackTestResult& result, int historyRecords);

/** Hex SHA-256 of a file's bytes; empty when it cannot be read. */
QByteArray fileSha256(const QString& path);

} // namespace kw
