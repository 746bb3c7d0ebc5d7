#include "tips/ui/TipSheet.h"

#include "app/Dates.h"
#include "draws/BallColour.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace kw {

namespace {

const QColor kInk(0x20, 0x20, 0x20);
const QColor kGrey(0x70, 0x70, 0x70);
const QColor kRule(0xB0, 0xB0, 0xB0);
const QColor kStripe(0xF1, 0xF1, 0xF1);
const QColor kWin(0x1B, 0x7A, 0x2E);

/** Millimetres and points in device pixels. */
struct Units {
    double dpi;
    double mm(double v) const { return v * dpi / 25.4; }
};

QFont font(double points, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

/** A number ball: filled in its colour with a white number, or (supplementary) a ring. */
void paintBall(QPainter& p, const QRectF& r, int n, bool filled) {
    const QColor colour = QColor::fromRgba(ballArgb(n));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (filled) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
    } else {
        p.setPen(QPen(colour, std::max(1.0, r.width() / 10)));
        p.setBrush(Qt::white);
    }
    const double inset = filled ? 0 : r.width() / 20;
    p.drawEllipse(r.adjusted(inset, inset, -inset, -inset));
    p.setPen(filled ? Qt::white : kInk);
    p.drawText(r, Qt::AlignCenter, QString::number(n));
    p.restore();
}

QString hitsText(const TipOut& t) {
    if (!t.checked)
        return QString();
    QString s = QString::number(t.check.Gewinn);
    for (size_t i = 0; i < t.supplementaryHeld.size(); ++i)
        s += QStringLiteral("+1");
    return s;
}

} // namespace

int paintTipSheet(QPagedPaintDevice& device, const TipSheet& sheet) {
    QPainter p(&device);
    if (!p.isActive())
        return 0;
    const Units u{double(device.logicalDpiY())};
    const QRectF page(0, 0, device.width(), device.height());
    const double rowH = u.mm(7.5);
    const double numberW = u.mm(11.5);
    const double tipW = u.mm(14);
    const double hitsW = u.mm(18);
    const double winW = u.mm(20);
    const double tableW = tipW + 8 * numberW + hitsW + winW;
    const double left = page.left() + std::max(0.0, (page.width() - tableW) / 2);
    const double footerH = u.mm(12);

    auto header = [&](double y, bool first) {
        p.setPen(kInk);
        p.setFont(font(first ? 18 : 12, true));
        const double titleH = first ? u.mm(9) : u.mm(6);
        p.drawText(QRectF(page.left(), y, page.width(), titleH), Qt::AlignLeft | Qt::AlignVCenter,
                   sheet.title);
        p.setFont(font(9.5));
        p.setPen(kGrey);
        p.drawText(QRectF(page.left(), y, page.width(), titleH), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("printed %1").arg(formatDate(sheet.printed)));
        y += titleH;
        if (first) {
            p.setFont(font(10.5));
            p.drawText(
                QRectF(page.left(), y, page.width(), u.mm(6)), Qt::AlignLeft | Qt::AlignVCenter,
                QStringLiteral("Set for Life: eight numbers out of 1 to 37 and two supplementary numbers"));
            y += u.mm(6);
        }
        y += u.mm(2);
        p.setPen(QPen(kRule, u.mm(0.3)));
        p.drawLine(QPointF(page.left(), y), QPointF(page.right(), y));
        return y + u.mm(4);
    };

    auto drawBlock = [&](double y) {
        p.setPen(kInk);
        p.setFont(font(12, true));
        if (!sheet.draw.shown()) {
            p.drawText(QRectF(page.left(), y, page.width(), u.mm(7)), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("No draw on display: the tips are printed without a check."));
            return y + u.mm(11);
        }
        p.drawText(QRectF(page.left(), y, page.width(), u.mm(7)), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Draw of %1").arg(formatDay(sheet.draw.day)));
        y += u.mm(8);
        const double d = u.mm(9);
        const double gap = u.mm(2);
        double x = page.left();
        p.setFont(font(11, true));
        for (int k = 1; k <= 10; ++k) {
            if (k == 9) {
                p.setPen(kGrey);
                p.setFont(font(10));
                const QString plus = QStringLiteral("supplementary");
                const double w = p.fontMetrics().horizontalAdvance(plus) + 2 * gap;
                p.drawText(QRectF(x, y, w, d), Qt::AlignCenter, plus);
                x += w + gap;
                p.setFont(font(11, true));
            }
            paintBall(p, QRectF(x, y, d, d), sheet.draw.Zahl[size_t(k)], k <= 8);
            x += d + gap;
        }
        return y + d + u.mm(7);
    };

    auto tableHead = [&](double y) {
        p.setFont(font(9.5, true));
        p.setPen(kGrey);
        double x = left;
        p.drawText(QRectF(x, y, tipW, rowH), Qt::AlignCenter, QStringLiteral("Tip"));
        x += tipW;
        p.drawText(QRectF(x, y, 8 * numberW, rowH), Qt::AlignCenter, QStringLiteral("Numbers"));
        x += 8 * numberW;
        p.drawText(QRectF(x, y, hitsW, rowH), Qt::AlignCenter, QStringLiteral("Hits"));
        x += hitsW;
        p.drawText(QRectF(x, y, winW, rowH), Qt::AlignCenter, QStringLiteral("Win"));
        p.setPen(QPen(kRule, u.mm(0.3)));
        p.drawLine(QPointF(left, y + rowH), QPointF(left + tableW, y + rowH));
        return y + rowH + u.mm(0.5);
    };

    auto tipRow = [&](double y, const TipOut& t, bool stripe) {
        if (stripe)
            p.fillRect(QRectF(left, y, tableW, rowH), kStripe);
        double x = left;
        p.setPen(kGrey);
        p.setFont(font(9.5));
        p.drawText(QRectF(x, y, tipW, rowH), Qt::AlignCenter, QString::number(t.row + 1));
        x += tipW;
        const double d = rowH * 0.82;
        p.setFont(font(10.5, false));
        for (int c = 0; c < 8; ++c) {
            const QRectF cell(x + (numberW - d) / 2, y + (rowH - d) / 2, d, d);
            const QString& text = t.cells[size_t(c)];
            const int n = text.toInt();
            const bool hit = t.checked && t.check.Treffer[size_t(c + 1)];
            const bool held = t.checked && !hit &&
                              std::find(t.supplementaryHeld.begin(), t.supplementaryHeld.end(), n) !=
                                  t.supplementaryHeld.end();
            if (hit || held) {
                p.setFont(font(10.5, true));
                paintBall(p, cell, n, hit);
                p.setFont(font(10.5, false));
            } else {
                p.setPen(kInk);
                p.drawText(QRectF(x, y, numberW, rowH), Qt::AlignCenter, text);
            }
            x += numberW;
        }
        p.setPen(kInk);
        p.setFont(font(10.5, true));
        p.drawText(QRectF(x, y, hitsW, rowH), Qt::AlignCenter, hitsText(t));
        x += hitsW;
        if (t.win) {
            p.setPen(kWin);
            p.drawText(QRectF(x, y, winW, rowH), Qt::AlignCenter, QStringLiteral("\u2605 win"));
        }
    };

    auto footer = [&](int number, int count) {
        const double y = page.bottom() - footerH;
        p.setPen(QPen(kRule, u.mm(0.3)));
        p.drawLine(QPointF(page.left(), y), QPointF(page.right(), y));
        p.setPen(kGrey);
        p.setFont(font(8.5));
        const QRectF box(page.left(), y + u.mm(1.5), page.width(), footerH - u.mm(1.5));
        p.drawText(
            box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
            QStringLiteral("Filled ball: a number drawn. Ring: a supplementary number the tip holds.\n"
                           "Hits: the numbers drawn, then +1 for each supplementary number held. A tip "
                           "wins with five hits, or four and a supplementary number."));
        p.drawText(box, Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("page %1 of %2").arg(number).arg(count));
    };

    // How many rows fit: the first page carries the draw, the others only a short header.
    const double firstTop = u.mm(9 + 6 + 2 + 4) + (sheet.draw.shown() ? u.mm(8 + 9 + 7) : u.mm(11)) + rowH;
    const double otherTop = u.mm(6 + 2 + 4) + rowH;
    const int firstRows = std::max(1, int((page.height() - footerH - firstTop) / rowH) - 1);
    const int otherRows = std::max(1, int((page.height() - footerH - otherTop) / rowH) - 1);
    const int n = int(sheet.tips.size());
    const int pages = n <= firstRows ? 1 : 1 + (n - firstRows + otherRows - 1) / otherRows;

    size_t next = 0;
    for (int pageNo = 1; pageNo <= pages; ++pageNo) {
        if (pageNo > 1)
            device.newPage();
        double y = header(page.top(), pageNo == 1);
        if (pageNo == 1)
            y = drawBlock(y);
        y = tableHead(y);
        const int rows = pageNo == 1 ? firstRows : otherRows;
        if (sheet.tips.empty() && pageNo == 1) {
            p.setPen(kGrey);
            p.setFont(font(10.5));
            p.drawText(QRectF(left, y, tableW, rowH), Qt::AlignCenter, QStringLiteral("No tips."));
        }
        for (int i = 0; i < rows && next < sheet.tips.size(); ++i, ++next) {
            tipRow(y, sheet.tips[next], i % 2 == 1);
            y += rowH;
        }
        footer(pageNo, pages);
    }
    return pages;
}

} // namespace kw
