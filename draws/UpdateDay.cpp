#include "draws/UpdateDay.h"

#include "app/Dates.h"
#include "draws/DrawLine.h"

namespace kw {

DayOutcome updateDay(UpdateClient& client, const QString& server, double day, HistoryFile::Appender& file) {
    DayOutcome out;
    const HttpResult reply = client.get(UpdateClient::requestUrl(server, day));
    out.statusLine = reply.statusLine();
    if (reply.failed) {
        out.end = DayOutcome::End::HttpFailure;
        return out;
    }
    if (reply.statusCode != 200)
        return out;
    out.answered = true;
    if (reply.tooLarge) {
        out.end = DayOutcome::End::Refused;
        out.refusal =
            QStringLiteral("The update server's reply for %1 is larger than %2 KiB and was refused. "
                           "No draws of that day were stored.")
                .arg(formatDay(day))
                .arg(kMaxReplyBytes / 1024);
        return out;
    }
    out.replyText = QString::fromLatin1(reply.body);
    for (const QString& line : replyLines(reply.body)) {
        const auto numbers = parseDrawLine(line);
        if (!numbers) {
            out.end = DayOutcome::End::Refused;
            return out;
        }
        ++out.parsedLines;
        TZiehung record;
        record.Ziehungsdatum = day;
        record.Zahlen = *numbers;
        try {
            file.append(record);
        } catch (const FileError& e) {
            // A failed write ends the update like a bad reply, but says what failed.
            out.end = DayOutcome::End::Refused;
            out.refusal = QString::fromStdString(e.what());
            return out;
        }
        ++out.storedDraws;
    }
    return out;
}

} // namespace kw
