#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace kw {

inline constexpr int kTipRows = 100;

/**
 * The tip table. Columns 1..8 of a row hold a tip's numbers as decimal text; columns 9 and 10
 * exist but are never filled. Rows 0..99; the rows in use are 0 .. Anzahl-1.
 */
struct TipTable {
    QString Tippreihen[11][kTipRows];           // [column 1..10][row]
    bool Tippreihe1[kTipRows] = {};             // the row is to be computed anew
    uint8_t Gewonnen_Zahlen[12][kTipRows] = {}; // [1..8] hits, [9]/[10] supplementary held, [11] win
    bool Test_Zahlen[kTipRows] = {};            // a kept tip failed the filters in the run under way

    /** The one way to write a cell (column 1..10) ... */
    void setCell(int col, int row, const QString& value) { Tippreihen[col][row] = value; }
    /** ... or a row flag (column 0). */
    void setFlag(int row, bool value) { Tippreihe1[row] = value; }

    void clearMarks();
    /** Deletes the flagged tips and moves the kept ones to the top, over all 100 rows. */
    void Loeschen();
};

/** The draw a tip is checked against: Zahl[1..8] drawn, Zahl[9], Zahl[10] supplementary; [0] unused. */
using DrawNumbers = std::array<int32_t, 11>;

/** Result of checking one tip. */
struct CheckResult {
    uint8_t Gewinn = 0;                // main hits: equal (tip position, drawn position) pairs
    bool Zusatz = false;               // the tip holds a supplementary number
    std::array<uint8_t, 11> Treffer{}; // [1..8] per tip position, [9]/[10] per supplementary number
};

/**
 * Checks one tip given as eight texts. Every comparison converts its argument again; the first
 * argument that is not a number ends the check silently with what was found until then.
 */
CheckResult Zettelcheck(const DrawNumbers& Zahl, const std::array<QString, 8>& tip);

/** The win rule: five or more main hits, or four with a supplementary number. */
inline bool isWin(const CheckResult& r) {
    return r.Gewinn >= 5 || (r.Gewinn >= 4 && r.Zusatz);
}

/** Thrown by the full check when a cell of a checked row is not a number. */
struct CellError {
    int row;    // 0..99
    int column; // 1..8
    QString text;
};

/** What the user reads when the full check stopped at a cell: the tip as the list counts it. */
QString cellErrorMessage(const CellError& e);

struct FullCheckResult {
    int best = 0; // highest number of main hits among the checked tips
    bool anyWin = false;
    int checked = 0;  // tips actually checked
    CheckResult last; // result of the last tip checked
};

/**
 * Checks rows 0 .. itemCount-1 (skipping rows whose first cell is empty) against the draw,
 * sorts each checked tip, writes it back and sets its marks. Throws CellError at a cell that is
 * not a number; rows before it keep their new marks.
 */
FullCheckResult checkAllTips(TipTable& table, int itemCount, const DrawNumbers& Zahl);

/** The tip list's text of one row, blanks exactly as the list has always shown them. */
QString tipItemText(const TipTable& table, int row);
/** The hits part of that text: the main hits, then "+1" per supplementary number held. */
QString tipHitsText(const TipTable& table, int row);

/** Height of a list item: list height / n rounded, at most 50, and 30 when below 25. */
int tipItemHeight(double listHeight, int n);

} // namespace kw
