#include "tips/TipTable.h"

#include "app/Numbers.h"

#include <algorithm>

namespace kw {

void TipTable::clearMarks() {
    for (auto& column : Gewonnen_Zahlen)
        std::fill(std::begin(column), std::end(column), 0);
}

void TipTable::Loeschen() {
    int k = 0;
    for (int r = 0; r < kTipRows; ++r) {
        if (Tippreihe1[r]) {
            for (int c = 1; c <= 8; ++c)
                setCell(c, r, QString());
            continue;
        }
        if (k < r) {
            for (int c = 1; c <= 8; ++c)
                setCell(c, k, Tippreihen[c][r]);
            setFlag(k, false);
            for (int c = 1; c <= 8; ++c)
                setCell(c, r, QString());
            setFlag(r, true);
        }
        ++k;
    }
}

CheckResult Zettelcheck(const DrawNumbers& Zahl, const std::array<QString, 8>& tip) {
    CheckResult r;
    for (int j = 1; j <= 8; ++j) {
        for (int p = 1; p <= 8; ++p) {
            const auto v = tryStrToInt(tip[p - 1]);
            if (!v)
                return r;
            if (*v == Zahl[j]) {
                r.Treffer[p] = 1;
                ++r.Gewinn;
            }
        }
    }
    for (int k = 9; k <= 10; ++k) {
        for (int p = 1; p <= 8; ++p) {
            const auto v = tryStrToInt(tip[p - 1]);
            if (!v)
                return r;
            if (*v == Zahl[k]) {
                r.Treffer[k] = 1;
                r.Zusatz = true;
            }
        }
    }
    return r;
}

FullCheckResult checkAllTips(TipTable& table, int itemCount, const DrawNumbers& Zahl) {
    table.clearMarks();
    FullCheckResult out;
    for (int r = 0; r < std::min(itemCount, kTipRows); ++r) {
        if (table.Tippreihen[1][r].isEmpty())
            continue;
        int32_t T[9];
        for (int c = 1; c <= 8; ++c) {
            const auto v = tryStrToInt(table.Tippreihen[c][r]);
            if (!v)
                throw CellError{r, c, table.Tippreihen[c][r]};
            T[c] = *v;
        }
        for (int i = 1; i <= 8; ++i)
            for (int j = i; j <= 8; ++j)
                if (T[j] < T[i])
                    std::swap(T[i], T[j]);
        std::array<QString, 8> texts;
        for (int c = 1; c <= 8; ++c)
            texts[c - 1] = QString::number(T[c]);
        const CheckResult res = Zettelcheck(Zahl, texts);
        for (int c = 1; c <= 10; ++c)
            table.Gewonnen_Zahlen[c][r] = res.Treffer[c] == 1 ? 1 : 0;
        for (int c = 1; c <= 8; ++c)
            table.setCell(c, r, texts[c - 1]);
        const bool win = isWin(res);
        table.Gewonnen_Zahlen[11][r] = win ? 1 : 0;
        out.anyWin = out.anyWin || win;
        out.best = std::max<int>(out.best, res.Gewinn);
        out.last = res;
        ++out.checked;
    }
    return out;
}

QString cellErrorMessage(const CellError& e) {
    const QString where = QStringLiteral("Tip %1, number %2").arg(e.row + 1).arg(e.column);
    const QString what = e.text.trimmed().isEmpty()
                             ? QStringLiteral("%1 is empty.").arg(where)
                             : QStringLiteral("%1 (\"%2\") is not a number.").arg(where, e.text);
    return what + QStringLiteral(" The check stopped at this tip; correct it with \"show/edit\".");
}

QString tipItemText(const TipTable& table, int row) {
    QString text;
    for (int c = 1; c <= 8; ++c) {
        const QString& cell = table.Tippreihen[c][row];
        if (cell.size() < 2)
            text += QLatin1String("  ");
        text += cell;
        text += QLatin1String("  ");
    }
    text += QLatin1String("     ");
    text += tipHitsText(table, row);
    return text;
}

QString tipHitsText(const TipTable& table, int row) {
    int hits = 0;
    for (int c = 1; c <= 8; ++c)
        hits += table.Gewonnen_Zahlen[c][row] ? 1 : 0;
    QString text = QString::number(hits);
    if (table.Gewonnen_Zahlen[9][row])
        text += QLatin1String("+1");
    if (table.Gewonnen_Zahlen[10][row])
        text += QLatin1String("+1");
    return text;
}

int tipItemHeight(double listHeight, int n) {
    if (n <= 0)
        return 50;
    int h = int(Round(listHeight / n));
    if (h > 50)
        h = 50;
    if (h < 25)
        h = 30;
    return h;
}

} // namespace kw
