#pragma once

#include "charts/BarData.h"

#include <QtCharts/QChartView>

class TBarChart;

/** A bar series of the chart: clear it, add bars with X, Y and colour, show or hide it. */
class TBarSeries : public QObject {
    Q_OBJECT
public:
    TBarSeries(const QString& name, TBarChart* chart);
    void clear();
    void addBar(double x, double y, std::optional<uint32_t> argb = std::nullopt);
    void setVisible(bool visible);
    bool isVisible() const { return m_data.visible; }
    void setMarksVisible(bool visible);
    bool marksVisible() const { return m_data.marksVisible; }
    const kw::BarSeriesData& data() const { return m_data; }
    int count() const { return int(m_data.bars.size()); }

private:
    kw::BarSeriesData m_data;
    TBarChart* m_chart;
};

/** A chart axis with a settable range, automatic scaling and a title. */
class TChartAxis : public QObject {
    Q_OBJECT
public:
    TChartAxis(const QString& name, TBarChart* chart);
    void setMinimum(double v);
    void setMaximum(double v);
    void setAutomatic(bool on);
    void setTitle(const QString& title);
    const kw::AxisData& data() const { return m_data; }
    QString title() const { return m_data.title; }

private:
    kw::AxisData m_data;
    TBarChart* m_chart;
};

/** The bar chart of the chart tab: two series, a value axis on the left and a bottom axis. */
class TBarChart : public QChartView {
    Q_OBJECT
public:
    explicit TBarChart(QWidget* parent = nullptr);
    TBarSeries* Series1;
    TBarSeries* Series2;
    TChartAxis* leftAxis() const { return m_left; }
    TChartAxis* bottomAxis() const { return m_bottom; }
    /** Rebuilds the drawing from the series and axes (coalesced to one rebuild per event loop turn). */
    void scheduleRefresh();
    void refreshNow();

private:
    TChartAxis* m_left;
    TChartAxis* m_bottom;
    bool m_refreshPending = false;
};
