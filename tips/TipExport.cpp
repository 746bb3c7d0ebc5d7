#include "tips/TipExport.h"

#include "app/Dates.h"
#include "app/Numbers.h"

#include <algorithm>

namespace kw {

std::vector<int> tipRowsToExport(const TipTable& table, int count, const std::vector<int>& selected) {
    std::vector<int> rows;
    const int n = std::clamp(count, 0, kTipRows);
    for (int r = 0; r < n; ++r) {
        if (table.Tippreihen[1][r].trimmed().isEmpty())
            continue;
        if (!selected.empty() && std::find(selected.begin(), selected.end(), r) == selected.end())
            continue;
        rows.push_back(r);
    }
    return rows;
}

TipOut tipOut(const TipTable& table, int row, const ShownDraw& draw) {
    TipOut out;
    out.row = row;
    bool numbers = true;
    for (int c = 1; c <= 8; ++c) {
        out.cells[size_t(c - 1)] = table.Tippreihen[c][row].trimmed();
        numbers = numbers && tryStrToInt(out.cells[size_t(c - 1)]).has_value();
    }
    if (!numbers || !draw.shown())
        return out;
    out.checked = true;
    out.check = Zettelcheck(draw.Zahl, out.cells);
    out.win = isWin(out.check);
    for (int k = 9; k <= 10; ++k)
        if (out.check.Treffer[size_t(k)])
            out.supplementaryHeld.push_back(draw.Zahl[size_t(k)]);
    return out;
}

QString tipsText(const TipTable& table, const std::vector<int>& rows) {
    QString text;
    for (int r : rows) {
        QStringList numbers;
        for (int c = 1; c <= 8; ++c)
            numbers << table.Tippreihen[c][r].trimmed();
        text += numbers.join(u' ') + u'\n';
    }
    return text;
}

QByteArray tipsCsv(const TipTable& table, const std::vector<int>& rows, const ShownDraw& draw) {
    QByteArray csv = "Tip,Number 1,Number 2,Number 3,Number 4,Number 5,Number 6,Number 7,Number 8,"
                     "Draw date,Hits,Supplementary held,Win\r\n";
    const QByteArray date =
        draw.shown() ? dateFromDay(draw.day).toString(Qt::ISODate).toUtf8() : QByteArray();
    for (int r : rows) {
        const TipOut tip = tipOut(table, r, draw);
        QByteArrayList fields{QByteArray::number(r + 1)};
        for (const QString& cell : tip.cells) {
            // A cell is normally a number; anything else is quoted so that it stays one field.
            QByteArray f = cell.toUtf8();
            if (f.contains(',') || f.contains('"') || f.contains('\n'))
                f = '"' + f.replace("\"", "\"\"") + '"';
            fields << f;
        }
        if (tip.checked) {
            QByteArrayList held;
            for (int n : tip.supplementaryHeld)
                held << QByteArray::number(n);
            fields << date << QByteArray::number(tip.check.Gewinn) << held.join(' ')
                   << (tip.win ? "yes" : "no");
        } else {
            fields << ""
                   << ""
                   << ""
                   << "";
        }
        csv += fields.join(',') + "\r\n";
    }
    return csv;
}

} // namespace kw
