#include "charts/BarChart.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

TBarSeries::TBarSeries(const QString& name, uint32_t ownArgb, TBarChart* chart)
    : QObject(chart), m_ownArgb(ownArgb), m_chart(chart) {
    setObjectName(name);
}

void TBarSeries::clear() {
    m_data.bars.clear();
    m_chart->scheduleRefresh();
}

void TBarSeries::addBar(double x, double y, std::optional<uint32_t> argb) {
    m_data.bars.push_back({x, y, argb});
    m_chart->scheduleRefresh();
}

void TBarSeries::setVisible(bool visible) {
    m_data.visible = visible;
    m_chart->scheduleRefresh();
}

void TBarSeries::setMarksVisible(bool visible) {
    m_data.marksVisible = visible;
    m_chart->scheduleRefresh();
}

TChartAxis::TChartAxis(const QString& name, TBarChart* chart) : QObject(chart), m_chart(chart) {
    setObjectName(name);
}

void TChartAxis::setMinimum(double v) {
    m_data.minimum = v;
    if (m_data.maximum < v)
        m_data.maximum = v;
    m_chart->scheduleRefresh();
}

void TChartAxis::setMaximum(double v) {
    m_data.maximum = v;
    if (m_data.minimum > v)
        m_data.minimum = v;
    m_chart->scheduleRefresh();
}

void TChartAxis::setAutomatic(bool on) {
    m_data.automatic = on;
    m_chart->scheduleRefresh();
}

void TChartAxis::setTitle(const QString& title) {
    m_data.title = title;
    m_chart->scheduleRefresh();
}

TBarChart::TBarChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Chart1"));
    setAccessibleName(QStringLiteral("analysis chart"));
    Series1 = new TBarSeries(QStringLiteral("Series1"), 0xFFE07020u, this);
    Series2 = new TBarSeries(QStringLiteral("Series2"), 0xFF3A6FC4u, this);
    m_left = new TChartAxis(QStringLiteral("LeftAxis"), this);
    m_bottom = new TChartAxis(QStringLiteral("BottomAxis"), this);
    setAttribute(Qt::WA_StyledBackground);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TBarChart::scheduleRefresh() {
    update();
}

void TBarChart::refreshNow() {
    repaint();
}

namespace {

bool isWhole(double v) {
    return std::abs(v - std::round(v)) < 1e-9 && std::abs(v) < 1e15;
}

QString numberText(double v) {
    return isWhole(v) ? QString::number(qint64(std::llround(v))) : QString::number(v, 'g', 4);
}

QFont labelFont(const QFont& base) {
    QFont f = base;
    if (f.pointSizeF() > 0)
        f.setPointSizeF(std::max(8.0, f.pointSizeF() * 0.9));
    return f;
}

QFont titleFont(const QFont& base) {
    QFont f = base;
    f.setWeight(QFont::DemiBold);
    return f;
}

} // namespace

TBarChart::Geometry TBarChart::geometryFor(const QSize& size) const {
    Geometry g;
    const QFontMetricsF lm(labelFont(font()));
    const QFontMetricsF tm(titleFont(font()));

    // The bars to draw, and the bottom axis' places in the order their X values first appear.
    std::vector<const TBarSeries*> shown;
    for (const TBarSeries* s : {Series1, Series2})
        if (s->isVisible() && s->count() > 0)
            shown.push_back(s);
    std::vector<double> xs;
    bool integral = true;
    double lo = 0, hi = 0;
    bool any = false;
    for (const TBarSeries* s : shown) {
        for (const kw::Bar& b : s->data().bars) {
            if (std::find(xs.begin(), xs.end(), b.x) == xs.end())
                xs.push_back(b.x);
            integral = integral && isWhole(b.y);
            lo = any ? std::min(lo, b.y) : b.y;
            hi = any ? std::max(hi, b.y) : b.y;
            any = true;
        }
    }
    const bool marks =
        std::any_of(shown.begin(), shown.end(), [](const TBarSeries* s) { return s->marksVisible(); });

    // Space for the texts around the plot.
    const double outer = 8;
    const double tick = 4;
    double widestX = 0;
    for (double x : xs)
        widestX = std::max(widestX, lm.horizontalAdvance(numberText(x)));
    const double labelGap = std::max(3.0, lm.horizontalAdvance(QStringLiteral("0")) / 2);

    g.title.text = m_bottom->title();
    const double titleWidth = std::max(1.0, size.width() - 2 * outer);
    const QRectF titleBox = g.title.text.isEmpty()
                                ? QRectF()
                                : tm.boundingRect(QRectF(0, 0, titleWidth, 1e6),
                                                  Qt::AlignHCenter | Qt::TextWordWrap, g.title.text);
    const double titleHeight = g.title.text.isEmpty() ? 0 : titleBox.height();
    const double bottom = outer + titleHeight + (titleHeight > 0 ? 6 : 0) + lm.height() + tick + 2;
    const double top = outer + 4 + (marks ? lm.height() + 2 : 0);

    // The value axis needs the plot height for its tick count and the label width for the plot's left
    // edge; the labels' width hardly depends on the count, so one pass with a first guess is enough.
    const double plotHeightGuess = std::max(1.0, size.height() - top - bottom);
    const int maxTicks = std::max(1, int(plotHeightGuess / (lm.height() * 2.2)));
    const kw::AxisData& left = m_left->data();
    g.scale = kw::valueScale(left.automatic, left.minimum, left.maximum, any ? lo : 0, any ? hi : 0, maxTicks,
                             integral && isWhole(left.minimum) && isWhole(left.maximum));
    std::vector<double> ticks;
    const double firstTick = std::ceil(g.scale.minimum / g.scale.step - 1e-9) * g.scale.step;
    for (double t = firstTick; t <= g.scale.maximum + g.scale.step * 1e-9 && ticks.size() < 200;
         t += g.scale.step)
        ticks.push_back(t);
    double widestY = 0;
    for (double t : ticks)
        widestY = std::max(widestY, lm.horizontalAdvance(numberText(t)));

    const double leftEdge = outer + widestY + tick + 4;
    const double rightEdge = size.width() - std::max(outer * 2, widestX / 2 + outer);
    g.plot = QRectF(QPointF(leftEdge, top),
                    QPointF(std::max(leftEdge + 1, rightEdge), std::max(top + 1, size.height() - bottom)));

    const double span = g.scale.maximum - g.scale.minimum;
    auto yPixel = [&](double v) {
        const double c = std::clamp(v, g.scale.minimum, g.scale.maximum);
        return g.plot.bottom() - (c - g.scale.minimum) / span * g.plot.height();
    };
    for (double t : ticks) {
        const QString text = numberText(t);
        const double w = lm.horizontalAdvance(text);
        g.leftLabels.push_back(
            {text, QRectF(leftEdge - tick - 4 - w, yPixel(t) - lm.height() / 2, w, lm.height())});
    }

    // Bars: one slot per X place, the shown series side by side within it.
    const double slot = xs.empty() ? g.plot.width() : g.plot.width() / double(xs.size());
    const double group = slot >= 4 ? slot * 0.8 : slot;
    const double barWidth = shown.empty() ? group : group / double(shown.size());
    for (size_t si = 0; si < shown.size(); ++si) {
        const TBarSeries* s = shown[si];
        const auto& bars = s->data().bars;
        for (size_t i = 0; i < bars.size(); ++i) {
            const size_t place = size_t(std::find(xs.begin(), xs.end(), bars[i].x) - xs.begin());
            const double x0 =
                g.plot.left() + double(place) * slot + (slot - group) / 2 + double(si) * barWidth;
            const double yTop = yPixel(bars[i].y);
            // Bars rise from the axis minimum: a value at the minimum has no height.
            const QRectF r(QPointF(x0, yTop), QPointF(x0 + std::max(1.0, barWidth), g.plot.bottom()));
            g.bars.push_back({s == Series1 ? 1 : 2, int(i), bars[i].y,
                              QColor::fromRgba(bars[i].argb.value_or(s->ownColor())), r});
            if (s->marksVisible()) {
                const QString text = numberText(bars[i].y);
                const double w = lm.horizontalAdvance(text);
                if (w <= slot * 1.2)
                    g.marks.push_back(
                        {text, QRectF(x0 + barWidth / 2 - w / 2, yTop - lm.height() - 2, w, lm.height())});
            }
        }
    }

    // Bottom labels: thinned out to every 2nd, 5th, 10th ... place when they would touch.
    g.labelStride = kw::labelStride(slot, widestX + labelGap);
    const bool wholeXs = std::all_of(xs.begin(), xs.end(), isWhole);
    for (size_t i = 0; i < xs.size(); ++i) {
        const bool labelled =
            wholeXs ? std::llround(xs[i]) % g.labelStride == 0 : i % size_t(g.labelStride) == 0;
        if (!labelled)
            continue;
        const QString text = numberText(xs[i]);
        const double w = lm.horizontalAdvance(text);
        const double cx = g.plot.left() + (double(i) + 0.5) * slot;
        g.bottomLabels.push_back({text, QRectF(cx - w / 2, g.plot.bottom() + tick + 2, w, lm.height())});
    }

    if (titleHeight > 0)
        g.title.rect = QRectF(outer, size.height() - outer - titleHeight, titleWidth, titleHeight);
    return g;
}

void TBarChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOption opt;
    opt.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);

    const Geometry g = geometryFor(size());
    const QColor text = palette().color(QPalette::WindowText);
    QColor grid = text;
    grid.setAlphaF(0.15);

    p.setPen(QPen(grid, 1));
    for (const auto& l : g.leftLabels) {
        const double y = std::round(l.rect.center().y()) + 0.5;
        p.drawLine(QPointF(g.plot.left(), y), QPointF(g.plot.right(), y));
    }

    p.setRenderHint(QPainter::Antialiasing, false);
    for (const auto& b : g.bars) {
        if (b.rect.height() <= 0)
            continue;
        p.fillRect(b.rect, b.color);
    }

    p.setPen(QPen(text, 1));
    p.drawLine(g.plot.bottomLeft(), g.plot.bottomRight());
    p.drawLine(g.plot.bottomLeft(), g.plot.topLeft());
    p.setRenderHint(QPainter::Antialiasing, true);

    p.setFont(labelFont(font()));
    for (const auto& l : g.leftLabels) {
        p.drawLine(QPointF(g.plot.left() - 4, l.rect.center().y()),
                   QPointF(g.plot.left(), l.rect.center().y()));
        p.drawText(l.rect, Qt::AlignRight | Qt::AlignVCenter, l.text);
    }
    for (const auto& l : g.bottomLabels) {
        p.drawLine(QPointF(l.rect.center().x(), g.plot.bottom()),
                   QPointF(l.rect.center().x(), g.plot.bottom() + 4));
        p.drawText(l.rect, Qt::AlignCenter, l.text);
    }
    for (const auto& m : g.marks)
        p.drawText(m.rect, Qt::AlignCenter, m.text);

    if (!g.title.text.isEmpty()) {
        p.setFont(titleFont(font()));
        p.drawText(g.title.rect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, g.title.text);
    }
}
