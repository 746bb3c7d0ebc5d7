#include "draws/DrawLine.h"

#include "app/Numbers.h"

#include <algorithm>

namespace kw {

QStringList replyLines(const QByteArray& body) {
    const QString text = QString::fromLatin1(body);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

std::optional<DrawLineNumbers> parseDrawLine(QStringView line, QString* why) {
    const auto refuse = [why](const QString& reason) -> std::optional<DrawLineNumbers> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (line.isEmpty())
        return refuse(QStringLiteral("the line is empty"));
    qsizetype pos = line.indexOf(u',');
    if (pos < 0)
        return refuse(QStringLiteral("the line has no comma before its ten numbers"));
    line = line.mid(pos + 1);

    std::array<int32_t, 10> values{};
    for (int k = 0; k < 10; ++k) {
        // Values 1..9 end at a comma; the last one at the first semicolon after them.
        pos = line.indexOf(k < 9 ? u',' : u';');
        if (pos < 0)
            return refuse(k < 9 ? QStringLiteral("the line holds fewer than ten numbers")
                                : QStringLiteral("no semicolon follows the tenth number"));
        const QStringView text = line.left(pos);
        const auto value = tryStrToInt(text);
        if (!value)
            return refuse(
                QStringLiteral("number %1 (\"%2\") is not a number").arg(k + 1).arg(text.toString()));
        // The history stores one byte per number: anything outside the game's range would be
        // stored as a different number, so such a line is refused instead.
        if (*value < 1 || *value > 37)
            return refuse(QStringLiteral("number %1 (%2) is outside 1..37").arg(k + 1).arg(*value));
        values[size_t(k)] = *value;
        line = line.mid(pos + 1);
    }
    std::sort(values.begin(), values.begin() + 8);

    DrawLineNumbers out{};
    for (size_t k = 0; k < 10; ++k)
        out[k] = uint8_t(values[k]);
    return out;
}

} // namespace kw
