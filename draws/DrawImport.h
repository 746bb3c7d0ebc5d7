#pragma once

#include "draws/Ziehung.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace kw {

/** One draw read from a file of published results. */
struct ImportedDraw {
    QDate date;
    /** [0..7] the drawn numbers ascending, [8], [9] the supplementary numbers as given. */
    std::array<uint8_t, 10> numbers{};
    int line = 0; // 1-based line of the file
};

/** The first line of a file that cannot be taken, and why. */
struct ImportError {
    int line = 0; // 0: the file as a whole
    QString reason;
    /** "Line 7: ..." as the user reads it. */
    QString message() const;
};

struct ParsedResults {
    std::vector<ImportedDraw> draws; // in file order
    std::optional<ImportError> error;
};

/**
 * Reads published results: one draw per line, a date and ten numbers (the eight drawn ones in
 * any order, then the two supplementary ones). Fields are separated by commas, semicolons, tabs
 * or blanks and may be quoted; a leading draw number before the date is passed over. Dates are
 * dd.mm.yyyy, yyyy-mm-dd or dd/mm/yyyy. The first line may be a header; empty lines and lines
 * starting with "#" are skipped. Every line is checked (a real day from 07.08.2015 up to today,
 * numbers 1..37, ten different numbers, one draw per day); the first bad line ends the reading
 * and is the only result.
 */
ParsedResults parsePublishedResults(const QByteArray& content);

/** Reads one date field in any of the accepted forms; nothing when it is not a real day. */
std::optional<QDate> parseImportDate(QStringView field);

/** True when two draws hold the same numbers (the supplementary pair in either order). */
bool sameDraw(const std::array<uint8_t, 10>& a, const std::array<uint8_t, 10>& b);

/** What merging published results into the history came to. */
struct MergeResult {
    bool ok = false;
    QString refusal; // why nothing was changed
    int added = 0;
    int alreadyThere = 0;
    bool rewritten = false; // days before the last record made a new file necessary
    double newest = 0;      // date of the newest record afterwards (0: none)
    /** "412 draws added, 3 already there; newest 09.12.2026" */
    QString summary() const;
};

/**
 * Merges draws into the history file (created with the seed draws when missing, as the update
 * does). A day already in the file with the same numbers is skipped; a day there with other
 * numbers refuses the whole import and changes nothing. New days after the last record are
 * appended like the update appends them; new days before it make the file be written anew and
 * replaced in one step, so that a crash leaves either the old or the new file.
 */
MergeResult mergeIntoHistory(const QString& path, const std::vector<ImportedDraw>& draws);

} // namespace kw
