#include "charts/BarChart.h"

#include <QTimer>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <map>

TBarSeries::TBarSeries(const QString& name, TBarChart* chart) : QObject(chart), m_chart(chart) { setObjectName(name); }

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

TChartAxis::TChartAxis(const QString& name, TBarChart* chart) : QObject(chart), m_chart(chart) { setObjectName(name); }

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

TBarChart::TBarChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("Chart1"));
    Series1 = new TBarSeries(QStringLiteral("Series1"), this);
    Series2 = new TBarSeries(QStringLiteral("Series2"), this);
    m_left = new TChartAxis(QStringLiteral("LeftAxis"), this);
    m_bottom = new TChartAxis(QStringLiteral("BottomAxis"), this);
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->hide();
    chart()->setTitle(QString());
    refreshNow();
}

void TBarChart::scheduleRefresh() {
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, [this] { refreshNow(); });
}

void TBarChart::refreshNow() {
    m_refreshPending = false;
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* a : c->axes())
        c->removeAxis(a);

    // One stacked series with one set per colour: each X gets exactly one coloured bar.
    auto* stacked = new QStackedBarSeries;
    QStringList categories;
    double lo = 0, hi = 0;
    bool first = true;
    for (TBarSeries* s : {Series1, Series2}) {
        if (!s->isVisible())
            continue;
        std::map<uint32_t, QBarSet*> sets;
        const auto& bars = s->data().bars;
        for (size_t i = 0; i < bars.size(); ++i) {
            const uint32_t argb = bars[i].argb.value_or(0xFF3060C0u);
            if (!sets.count(argb)) {
                auto* set = new QBarSet(QString::number(argb, 16));
                set->setColor(QColor::fromRgba(argb));
                set->setBorderColor(QColor::fromRgba(argb));
                for (size_t k = 0; k < bars.size(); ++k)
                    set->append(0);
                sets[argb] = set;
            }
            sets[argb]->replace(qsizetype(i), bars[i].y);
            if (first || bars[i].y < lo)
                lo = bars[i].y;
            if (first || bars[i].y > hi)
                hi = bars[i].y;
            first = false;
        }
        if (categories.isEmpty())
            for (const auto& b : bars)
                categories << QString::number(b.x);
        for (auto& [argb, set] : sets)
            stacked->append(set);
        stacked->setLabelsVisible(s->marksVisible());
    }
    c->addSeries(stacked);

    auto* xAxis = new QBarCategoryAxis;
    xAxis->append(categories);
    xAxis->setTitleText(m_bottom->title());
    auto* yAxis = new QValueAxis;
    if (m_left->data().automatic) {
        yAxis->setRange(std::min(0.0, lo), std::max(hi, 1.0));
        yAxis->applyNiceNumbers();
    } else {
        yAxis->setRange(m_left->data().minimum, m_left->data().maximum);
    }
    yAxis->setLabelFormat(QStringLiteral("%d"));
    c->addAxis(xAxis, Qt::AlignBottom);
    c->addAxis(yAxis, Qt::AlignLeft);
    stacked->attachAxis(xAxis);
    stacked->attachAxis(yAxis);
}
