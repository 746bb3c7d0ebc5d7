#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

/**
 * A number ball: a circle filled with a picture stretched to it, with a ring of settable colour
 * and width. Its form size stays; scale and position place it, drawn scale times its form size.
 */
class TCircle : public QWidget {
    Q_OBJECT
public:
    TCircle(const QString& name, int formWidth, int formHeight, QWidget* parent = nullptr);

    /** Loads a PNG into the fill; on any failure the old picture stays and false comes back. */
    bool loadBitmap(const QString& path);
    /** The file the picture shown was read from (empty: none yet). */
    QString bitmapFile() const { return m_fillFile; }

    QColor strokeColor() const { return m_strokeColor; }
    void setStrokeColor(const QColor& color);
    double strokeThickness() const { return m_strokeThickness; }
    void setStrokeThickness(double width);
    /** A light and a dark edge around the ring, so that it shows on a ball of its own colour. */
    void setHalo(bool on) { m_halo = on; }

    int formWidth() const { return m_formWidth; }
    int formHeight() const { return m_formHeight; }
    void setFormSize(int width, int height);
    double scale() const { return m_scale; }
    void setScale(double s);
    QPointF position() const { return m_position; }
    void setPosition(double x, double y);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    void place();
    QPixmap m_fill;
    QString m_fillFile;
    QColor m_strokeColor{0xFF, 0xF8, 0xDC};
    double m_strokeThickness = 0;
    bool m_halo = false;
    int m_formWidth, m_formHeight;
    double m_scale = 1.0;
    QPointF m_position;
};
