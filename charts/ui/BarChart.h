#pragma once

#include "charts/BarData.h"
#include "charts/ChartScale.h"

#include <QChartView>
#include <QColor>
#include <vector>

class TBarChart;
class QBarSet;
class QCategoryAxis;
class QStackedBarSeries;
class QValueAxis;

/** A bar series of the chart: clear it, add bars with X, Y and colour, show or hide it. */
class TBarSeries : public QObject {
    Q_OBJECT
public:
    TBarSeries(const QString& name, uint32_t ownArgb, TBarChart* chart);
    void clear();
    /** argb: the bar's colour; none gives the series' own colour. */
    void addBar(double x, double y, std::optional<uint32_t> argb = std::nullopt);
    void setVisible(bool visible);
    bool isVisible() const { return m_data.visible; }
    void setMarksVisible(bool visible);
    bool marksVisible() const { return m_data.marksVisible; }
    const kw::BarSeriesData& data() const { return m_data; }
    int count() const { return int(m_data.bars.size()); }
    /** The series' own colour (ARGB), for bars added without one. */
    uint32_t ownColor() const { return m_ownArgb; }

private:
    kw::BarSeriesData m_data;
    uint32_t m_ownArgb;
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

/**
 * The bar chart of the chart tab: two bar series, a value axis on the left and a bottom axis
 * with a title. The series and axes above hold the data; the chart's own series and axes are
 * rebuilt from them as a whole, so one analysis never leaves anything behind for the next.
 */
class TBarChart : public QChartView {
    Q_OBJECT
public:
    explicit TBarChart(QWidget* parent = nullptr);
    TBarSeries* Series1;
    TBarSeries* Series2;
    TChartAxis* leftAxis() const { return m_left; }
    TChartAxis* bottomAxis() const { return m_bottom; }
    /** Asks for a rebuild; all changes made in one handler are shown at once. */
    void scheduleRefresh();
    /** Brings the chart up to date with the series and axes now. */
    void refreshNow();

    /** The chart as shown, brought up to date first, so a reader never sees an old state. */
    QChart* chart() const;
    // The chart's parts, each brought up to date first like chart().
    /** The chart's series of Series1 (1) or Series2 (2). */
    QStackedBarSeries* barSeries(int which) const;
    QValueAxis* valueAxis() const;
    /** Labelled at the centres of the bars it labels. */
    QCategoryAxis* placeAxis() const;
    /** The X values on the bottom axis, in the order they were first added. */
    const std::vector<double>& places() const;
    /** Every how many places the bottom axis carries a label. */
    int labelStride() const;

    QSize minimumSizeHint() const override { return {240, 180}; }
    /** The tooltip of a bar: its place on the bottom axis and its value. */
    static QString barTip(double place, double value);

signals:
    /** The bars now shown do (or do not) hold red ones, the primes. */
    void primesShown(bool shown);

protected:
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void sync() const;
    void rebuild();
    void fillSeries(QStackedBarSeries* target, const TBarSeries* source, bool shown);
    /** Ticks and labels that fit the plot; only what changed is set, so a re-layout settles. */
    void fitAxes();
    void applyColours();
    QSizeF plotSize() const;

    TChartAxis* m_left;
    TChartAxis* m_bottom;
    QChart* m_chart;
    QStackedBarSeries* m_bars1;
    QStackedBarSeries* m_bars2;
    QValueAxis* m_valueAxis;
    QCategoryAxis* m_placeAxis;
    std::vector<double> m_places;
    bool m_integral = true;
    double m_lo = 0;
    double m_hi = 0;
    bool m_any = false;
    int m_stride = 0;
    bool m_alone = false;     // one series shown: it gets the whole place
    double m_shift = 0;       // where bar i stands on the bottom axis: i + m_shift
    double m_labelShift = 0;  // the shift the bottom labels were made for
    double m_titleWidth = -1; // the width the bottom title was wrapped for
    bool m_dirty = false;
    bool m_queued = false;
    bool m_primesShown = false;
};
