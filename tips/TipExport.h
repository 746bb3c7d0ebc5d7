#pragma once

#include "tips/TipTable.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace kw {

/** The draw the tips are checked against when they leave the program; day 0: none on display. */
struct ShownDraw {
    double day = 0;
    DrawNumbers Zahl{};
    bool shown() const { return day > 0; }
};

/** One tip row as it is copied, exported or printed. */
struct TipOut {
    int row = 0;                  // 0-based row of the table
    std::array<QString, 8> cells; // as stored
    bool checked = false;         // all eight cells are numbers and a draw is on display
    CheckResult check;            // against that draw
    bool win = false;
    /** The supplementary numbers of the draw that the tip holds, in the draw's order. */
    std::vector<int> supplementaryHeld;
};

/**
 * The rows to hand out: of the rows on show (0 .. count-1), those holding a tip (first cell not
 * empty); when selected names rows, only those of them, in row order.
 */
std::vector<int> tipRowsToExport(const TipTable& table, int count, const std::vector<int>& selected = {});

/** A row checked against the draw with the one tip check (not the table's stored marks). */
TipOut tipOut(const TipTable& table, int row, const ShownDraw& draw);

/** One tip per line, its numbers separated by blanks ("3 7 12 18 22 29 33 37\n"). */
QString tipsText(const TipTable& table, const std::vector<int>& rows);

/**
 * CSV (UTF-8, comma-separated, CR LF): a header line, then per tip its row number (1-based),
 * the eight numbers, and for the draw on display its date (yyyy-mm-dd), the main hits, the
 * supplementary numbers held (blank-separated) and "yes"/"no" for a win. Without a draw on display
 * the last four fields stay empty.
 */
QByteArray tipsCsv(const TipTable& table, const std::vector<int>& rows, const ShownDraw& draw);

} // namespace kw
