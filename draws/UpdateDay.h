#pragma once

#include "draws/HistoryFile.h"
#include "draws/UpdateClient.h"

#include <QString>

namespace kw {

/** What asking the update server for one day came to. */
struct DayOutcome {
    enum class End {
        Next,        // the day's draws (maybe none) are stored: go on with the next day
        HttpFailure, // no usable reply: the update ends, the status line says why
        Refused,     // the reply was refused or could not be stored: the update ends with a message
    };
    End end = End::Next;
    QString statusLine; // "code: text" of the reply
    /** The server answered 200: the reply's text as shown (empty when it was too large). */
    bool answered = false;
    QString replyText;
    int parsedLines = 0; // lines read as a draw before the end of the day
    int storedDraws = 0;
    /** Why the reply was refused. Empty for a bad line: the reply itself is shown then. */
    QString refusal;
    /** For a bad line: which line and why, shown beside the reply ("Line 2: number 4 ("a") is not a
     * number."). */
    QString lineFault;
};

/** How an update ended, for its summary. */
enum class UpdateEnd { Done, Failed, Refused, Cancelled };

/**
 * The line shown after an update: "4,140 draws added, newest 09.12.2026", "up to date", or how it
 * stopped early with what it had stored by then. newestDay is the last stored record's date.
 */
QString updateSummary(UpdateEnd end, int addedDraws, double newestDay);

/**
 * One day of the update: fetches the server's reply for the day, reads its lines as draws and
 * appends each one to the history file, stopping at the first line that is not a draw or the first
 * record that cannot be written (that record leaves no trace in the file).
 */
DayOutcome updateDay(UpdateClient& client, const QString& server, double day, HistoryFile::Appender& file);

} // namespace kw
