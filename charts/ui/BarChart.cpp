#include "charts/ui/BarChart.h"

#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

TBarSeries::TBarSeries(const QString& name, uint32_t ownArgb, TBarChart* chart)
    : QObject(chart), m_ownArgb(ownArgb), m_chart(chart) {
    setObjectName(name);
}

// Only real changes ask for a rebuild: the generator's history tests clear an empty series for
// every candidate, and that must cost nothing.
void TBarSeries::clear() {
    if (m_data.bars.empty())
        return;
    m_data.bars.clear();
    m_chart->scheduleRefresh();
}

void TBarSeries::addBar(double x, double y, std::optional<uint32_t> argb) {
    m_data.bars.push_back({x, y, argb});
    m_chart->scheduleRefresh();
}

void TBarSeries::setVisible(bool visible) {
    if (m_data.visible == visible)
        return;
    m_data.visible = visible;
    m_chart->scheduleRefresh();
}

void TBarSeries::setMarksVisible(bool visible) {
    if (m_data.marksVisible == visible)
        return;
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

namespace {

// The part of a place the bars fill: gaps between them while a gap is worth a pixel or two,
// else bars side by side, since rounding would make the gaps and bars uneven.
constexpr double kBarWidth = 0.8;
constexpr double kDenseSlot = 5; // pixels per place below which bars fill their place

bool isWhole(double v) {
    return std::abs(v - std::round(v)) < 1e-9 && std::abs(v) < 1e15;
}

QString numberText(double v) {
    return isWhole(v) ? QString::number(qint64(std::llround(v))) : QString::number(v, 'g', 4);
}

// Axis titles are rich text: keep "=>" and the double blanks of the summaries as they are, and
// wrap at blanks where a line would be wider than the chart, which would otherwise cut it off.
QString titleHtml(const QString& title, const QFontMetricsF& fm, double width) {
    QStringList lines;
    qsizetype start = 0;
    qsizetype lastBreak = -1;
    for (qsizetype i = 0; i <= title.size(); ++i) {
        if (i < title.size() && title[i] != QLatin1Char(' '))
            continue;
        if (fm.horizontalAdvance(title.mid(start, i - start)) > width && lastBreak > start) {
            lines << title.mid(start, lastBreak - start).trimmed();
            start = lastBreak;
            while (start < title.size() && title[start] == QLatin1Char(' '))
                ++start;
        }
        lastBreak = i;
    }
    lines << title.mid(start);
    for (QString& line : lines)
        line = line.toHtmlEscaped().replace(QStringLiteral("  "), QStringLiteral("&nbsp; "));
    return lines.join(QStringLiteral("<br>"));
}

QFont scaled(const QFont& base, double factor, double smallest) {
    QFont f = base;
    if (f.pointSizeF() > 0)
        f.setPointSizeF(std::max(smallest, f.pointSizeF() * factor));
    return f;
}

} // namespace

TBarChart::TBarChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("Chart1"));
    setAccessibleName(QStringLiteral("analysis chart"));
    Series1 = new TBarSeries(QStringLiteral("Series1"), 0xFFE07020u, this);
    Series2 = new TBarSeries(QStringLiteral("Series2"), 0xFF3A6FC4u, this);
    m_left = new TChartAxis(QStringLiteral("LeftAxis"), this);
    m_bottom = new TChartAxis(QStringLiteral("BottomAxis"), this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing, false); // crisp bar edges

    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setTitle(QString());
    m_chart->setBackgroundRoundness(0);
    m_chart->setDropShadowEnabled(false);
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_chart->setAnimationOptions(QChart::NoAnimation);

    m_bars1 = new QStackedBarSeries(m_chart);
    m_bars1->setObjectName(QStringLiteral("Series1"));
    m_bars2 = new QStackedBarSeries(m_chart);
    m_bars2->setObjectName(QStringLiteral("Series2"));
    m_valueAxis = new QValueAxis(m_chart);
    m_valueAxis->setObjectName(QStringLiteral("LeftAxis"));
    m_valueAxis->setTickType(QValueAxis::TicksDynamic);
    m_valueAxis->setTickAnchor(0);
    m_valueAxis->setMinorTickCount(0);
    m_placeAxis = new QCategoryAxis(m_chart);
    m_placeAxis->setObjectName(QStringLiteral("BottomAxis"));
    // Labels sit under their bars, ticks at the labelled bars only.
    m_placeAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_placeAxis->setGridLineVisible(false);
    m_placeAxis->setTruncateLabels(false); // the stride keeps them apart
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    m_chart->addAxis(m_placeAxis, Qt::AlignBottom);
    for (QStackedBarSeries* s : {m_bars1, m_bars2}) {
        // Outside the end is not offered for stacked bars.
        s->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
        s->setLabelsVisible(true);
        m_chart->addSeries(s);
        s->attachAxis(m_placeAxis);
        s->attachAxis(m_valueAxis);
    }
    // The view starts with a chart of its own and only lets go of it when given another.
    QChart* initial = QChartView::chart();
    setChart(m_chart);
    delete initial;

    // A new plot size may call for other ticks or another label stride.
    connect(m_chart, &QChart::plotAreaChanged, this, [this] { fitAxes(); });
    applyColours();
    m_dirty = true;
    refreshNow();
}

void TBarChart::sync() const {
    const_cast<TBarChart*>(this)->refreshNow();
}

QChart* TBarChart::chart() const {
    sync();
    return m_chart;
}

QStackedBarSeries* TBarChart::barSeries(int which) const {
    sync();
    return which == 1 ? m_bars1 : m_bars2;
}

QValueAxis* TBarChart::valueAxis() const {
    sync();
    return m_valueAxis;
}

QCategoryAxis* TBarChart::placeAxis() const {
    sync();
    return m_placeAxis;
}

const std::vector<double>& TBarChart::places() const {
    sync();
    return m_places;
}

int TBarChart::labelStride() const {
    sync();
    return m_stride;
}

void TBarChart::scheduleRefresh() {
    m_dirty = true;
    if (m_queued)
        return;
    m_queued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_queued = false;
            // A hidden chart waits for its next showing (or for a caller asking for its parts):
            // the generator's statistics would otherwise rebuild it behind the user's back.
            if (isVisible())
                refreshNow();
        },
        Qt::QueuedConnection);
}

void TBarChart::refreshNow() {
    if (!m_dirty)
        return;
    m_dirty = false;
    rebuild();
}

void TBarChart::fillSeries(QStackedBarSeries* target, const TBarSeries* source, bool shown) {
    target->clear();
    target->setVisible(shown);
    target->setLabelsVisible(shown && source->marksVisible());
    if (!shown)
        return;
    // One bar set per colour, zero wherever another colour stands, so every place shows one
    // bar in its own colour. A place given twice keeps the last bar added there.
    std::vector<uint32_t> colours;
    std::vector<std::pair<size_t, double>> atPlace(m_places.size(), {SIZE_MAX, 0.0});
    for (const kw::Bar& b : source->data().bars) {
        const uint32_t argb = b.argb.value_or(source->ownColor());
        auto c = std::find(colours.begin(), colours.end(), argb);
        if (c == colours.end())
            c = colours.insert(colours.end(), argb);
        const size_t place = size_t(std::find(m_places.begin(), m_places.end(), b.x) - m_places.begin());
        atPlace[place] = {size_t(c - colours.begin()), b.y};
    }
    QList<QBarSet*> sets;
    for (size_t ci = 0; ci < colours.size(); ++ci) {
        const QColor colour = QColor::fromRgba(colours[ci]);
        auto* set = new QBarSet(colour.name(QColor::HexArgb));
        QList<qreal> values(qsizetype(m_places.size()), 0.0);
        for (size_t p = 0; p < atPlace.size(); ++p)
            if (atPlace[p].first == ci)
                values[qsizetype(p)] = atPlace[p].second;
        set->append(values);
        set->setColor(colour);
        set->setBorderColor(colour);
        set->setLabelColor(Qt::white); // inside the bar
        set->setLabelFont(scaled(font(), 0.8, 7));
        connect(set, &QBarSet::hovered, this, [this, set](bool on, int index) {
            if (on && index >= 0 && size_t(index) < m_places.size())
                QToolTip::showText(QCursor::pos(), barTip(m_places[size_t(index)], set->at(index)), this);
            else
                QToolTip::hideText();
        });
        sets.append(set);
    }
    target->append(sets);
}

QString TBarChart::barTip(double place, double value) {
    return QStringLiteral("%1: %2").arg(QString::number(place, 'g', 10), QString::number(value, 'g', 10));
}

void TBarChart::rebuild() {
    // The bottom axis' places: every X of the shown series, in the order first added.
    m_places.clear();
    m_integral = true;
    m_any = false;
    m_lo = m_hi = 0;
    for (const TBarSeries* s : {Series1, Series2}) {
        if (!s->isVisible())
            continue;
        for (const kw::Bar& b : s->data().bars) {
            if (std::find(m_places.begin(), m_places.end(), b.x) == m_places.end())
                m_places.push_back(b.x);
            m_integral = m_integral && isWhole(b.y);
            m_lo = m_any ? std::min(m_lo, b.y) : b.y;
            m_hi = m_any ? std::max(m_hi, b.y) : b.y;
            m_any = true;
        }
    }
    const bool shown1 = Series1->isVisible() && Series1->count() > 0;
    const bool shown2 = Series2->isVisible() && Series2->count() > 0;
    fillSeries(m_bars1, Series1, shown1);
    fillSeries(m_bars2, Series2, shown2);
    bool primes = false;
    for (const TBarSeries* s : {Series1, Series2})
        if (s->isVisible())
            for (const kw::Bar& b : s->data().bars)
                primes = primes || b.argb == kw::kRed;
    if (primes != m_primesShown) {
        m_primesShown = primes;
        emit primesShown(primes);
    }
    // The chart gives each of its two bar series half of every place, shown or not, the first
    // series the left half. A series shown alone gets twice the width and the bottom axis moves
    // by a quarter place, so its bars stand centred over their labels.
    m_alone = shown1 != shown2;
    m_shift = shown1 == shown2 ? 0.0 : shown1 ? -0.25 : 0.25;
    m_placeAxis->setTitleVisible(!m_bottom->title().isEmpty());
    m_titleWidth = -1; // set anew for this title
    m_stride = 0;      // labels anew: the places may have changed
    fitAxes();
}

QSizeF TBarChart::plotSize() const {
    const QRectF plot = m_chart->plotArea();
    if (plot.width() > 1 && plot.height() > 1)
        return plot.size();
    // Not laid out yet: a guess from the view; the first layout corrects it.
    return QSizeF(std::max(1, viewport()->width() - 70), std::max(1, viewport()->height() - 90));
}

void TBarChart::fitAxes() {
    const QSizeF plot = plotSize();
    const QFontMetricsF lm(m_valueAxis->labelsFont());

    // Value axis: the set range, or a nice automatic one; bars below the minimum are cut off by
    // the plot, so a bar at the minimum has no visible height.
    const kw::AxisData& left = m_left->data();
    const int maxTicks = std::max(1, int(plot.height() / (lm.height() * 2.2)));
    const bool integral = m_integral && (left.automatic || (isWhole(left.minimum) && isWhole(left.maximum)));
    const kw::AxisScale scale = kw::valueScale(left.automatic, left.minimum, left.maximum, m_any ? m_lo : 0,
                                               m_any ? m_hi : 0, maxTicks, integral);
    if (m_valueAxis->min() != scale.minimum || m_valueAxis->max() != scale.maximum)
        m_valueAxis->setRange(scale.minimum, scale.maximum);
    if (m_valueAxis->tickInterval() != scale.step)
        m_valueAxis->setTickInterval(scale.step);
    const QString format = integral ? QStringLiteral("%.0f") : QStringLiteral("%g");
    if (m_valueAxis->labelFormat() != format)
        m_valueAxis->setLabelFormat(format);

    // Bottom axis: a label under every bar while they fit, else under every 2nd, 5th, 10th ...
    const size_t n = m_places.size();
    const double placeMin = -0.5 + m_shift;
    const double placeMax = std::max(1.0, double(n)) - 0.5 + m_shift;
    if (m_placeAxis->min() != placeMin || m_placeAxis->max() != placeMax)
        m_placeAxis->setRange(placeMin, placeMax);
    const QFontMetricsF pm(m_placeAxis->labelsFont());
    double widest = 0;
    for (double x : m_places)
        widest = std::max(widest, pm.horizontalAdvance(numberText(x)));
    // The chart cuts a title line off at the plot's width. A plot squeezed flat (by a tall
    // title, or before the first layout) must not feed back into the wrap: take the view's width.
    const double wrapWidth = plot.height() > 40 ? plot.width() : double(width() - 70);
    const double titleWidth = std::max(40.0, std::floor(wrapWidth) - 2);
    if (titleWidth != m_titleWidth) {
        m_titleWidth = titleWidth;
        m_placeAxis->setTitleText(
            titleHtml(m_bottom->title(), QFontMetricsF(m_placeAxis->titleFont()), titleWidth));
    }

    const double slot = n == 0 ? plot.width() : plot.width() / double(n);
    const double width = (slot < kDenseSlot ? 1.0 : kBarWidth) * (m_alone ? 2 : 1);
    if (m_bars1->barWidth() != width) {
        m_bars1->setBarWidth(width);
        m_bars2->setBarWidth(width);
    }

    // The last label stands centred under the last bar: room for its right half.
    const QMargins margins(6, 8, std::max(10, int(std::ceil(widest / 2)) + 4), 4);
    if (m_chart->margins() != margins)
        m_chart->setMargins(margins);
    const double gap = std::max(3.0, pm.horizontalAdvance(QStringLiteral("0")) / 2);
    const int stride = n == 0 ? 1 : kw::labelStride(slot, widest + gap);
    if (stride == m_stride && m_labelShift == m_shift)
        return;
    m_stride = stride;
    m_labelShift = m_shift;
    const bool wholeXs = std::all_of(m_places.begin(), m_places.end(), isWhole);
    for (const QString& label : m_placeAxis->categoriesLabels())
        m_placeAxis->remove(label);
    m_placeAxis->setStartValue(placeMin);
    // An axis without any category collapses into a corner, taking its title with it.
    if (n == 0)
        m_placeAxis->append(QStringLiteral(" "), placeMax);
    for (size_t i = 0; i < n; ++i) {
        const bool labelled = wholeXs ? std::llround(m_places[i]) % stride == 0 : i % size_t(stride) == 0;
        if (!labelled)
            continue;
        m_placeAxis->append(numberText(m_places[i]), double(i) + m_shift);
    }
}

void TBarChart::applyColours() {
    // The chart follows the palette the window's style gives this widget.
    const QPalette pal = palette();
    const QColor background = pal.color(QPalette::Base);
    const QColor text = pal.color(QPalette::WindowText);
    QColor line = text;
    line.setAlphaF(0.55f);
    QColor grid = text;
    grid.setAlphaF(0.15f);

    m_chart->setBackgroundBrush(background);
    m_chart->setBackgroundPen(Qt::NoPen);
    m_chart->setPlotAreaBackgroundVisible(false);
    setBackgroundBrush(background);

    const QFont labels = scaled(font(), 0.9, 8);
    QFont title = scaled(font(), 0.95, 8);
    title.setWeight(QFont::DemiBold);
    for (QAbstractAxis* axis :
         {static_cast<QAbstractAxis*>(m_valueAxis), static_cast<QAbstractAxis*>(m_placeAxis)}) {
        axis->setLabelsBrush(text);
        axis->setLabelsFont(labels);
        axis->setTitleBrush(text);
        axis->setTitleFont(title);
        axis->setLinePen(QPen(line, 1));
        axis->setGridLinePen(QPen(grid, 1));
    }
    m_stride = 0; // other fonts, other label and title widths
    m_titleWidth = -1;
}

void TBarChart::changeEvent(QEvent* e) {
    QChartView::changeEvent(e);
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::FontChange ||
        e->type() == QEvent::StyleChange) {
        applyColours();
        fitAxes();
    }
}

void TBarChart::showEvent(QShowEvent* e) {
    QChartView::showEvent(e);
    refreshNow();
    // Work done while the chart tab was hidden was measured on a view not laid out yet.
    m_titleWidth = -1;
    m_stride = 0;
    fitAxes();
}

void TBarChart::resizeEvent(QResizeEvent* e) {
    QChartView::resizeEvent(e);
    fitAxes();
}
