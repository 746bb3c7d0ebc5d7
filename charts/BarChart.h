#pragma once

#include "charts/BarData.h"
#include "charts/ChartScale.h"

#include <QColor>
#include <QRectF>
#include <QWidget>
#include <vector>

class TBarChart;

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
 * The bar chart of the chart tab: two series, a value axis on the left and a bottom axis with
 * a title. It holds no drawing state of its own: every paint is computed from the series and
 * axes, so one analysis never leaves anything behind for the next.
 */
class TBarChart : public QWidget {
    Q_OBJECT
  public:
    explicit TBarChart(QWidget* parent = nullptr);
    TBarSeries* Series1;
    TBarSeries* Series2;
    TChartAxis* leftAxis() const { return m_left; }
    TChartAxis* bottomAxis() const { return m_bottom; }
    /** Asks for a repaint; changes made in one handler are drawn once. */
    void scheduleRefresh();
    void refreshNow();

    /** Where everything goes at a widget size; the paint draws exactly this. */
    struct Geometry {
        struct Bar {
            int series = 0; // 1 or 2
            int index = 0;  // within its series
            double value = 0;
            QColor color;
            QRectF rect;
        };
        struct Text {
            QString text;
            QRectF rect;
        };
        QRectF plot;
        kw::AxisScale scale;
        std::vector<Bar> bars;
        std::vector<Text> bottomLabels;
        std::vector<Text> leftLabels;
        std::vector<Text> marks;
        Text title;
        int labelStride = 1;
    };
    Geometry geometryFor(const QSize& size) const;

    QSize minimumSizeHint() const override { return {240, 180}; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    TChartAxis* m_left;
    TChartAxis* m_bottom;
};
