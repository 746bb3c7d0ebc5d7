#include "draws/UpdateDay.h"

#include "app/Dates.h"
#include "app/Numbers.h"
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
    const QStringList lines = replyLines(reply.body);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString why;
        const auto numbers = parseDrawLine(lines[i], &why);
        if (!numbers) {
            out.end = DayOutcome::End::Refused;
            out.lineFault = QStringLiteral("Line %1: %2.").arg(i + 1).arg(why);
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

QString updateSummary(UpdateEnd end, int addedDraws, double newestDay) {
    QString added;
    if (addedDraws > 0)
        added = QStringLiteral("%1 %2 added, newest %3")
                    .arg(formatCount(addedDraws),
                         addedDraws == 1 ? QStringLiteral("draw") : QStringLiteral("draws"),
                         formatDay(newestDay));
    else
        added = QStringLiteral("no draws added");
    switch (end) {
    case UpdateEnd::Done:
        return addedDraws > 0 ? added : QStringLiteral("up to date");
    case UpdateEnd::Failed:
        return QStringLiteral("Update stopped: ") + added;
    case UpdateEnd::Refused:
        return QStringLiteral("Update refused a reply: ") + added;
    case UpdateEnd::Cancelled:
        return QStringLiteral("Update cancelled: ") + added;
    }
    return added;
}

} // namespace kw
