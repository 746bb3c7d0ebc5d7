#include "draws/ui/Circle.h"

#include "app/Numbers.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

TCircle::TCircle(const QString& name, int formWidth, int formHeight, QWidget* parent)
    : QWidget(parent), m_formWidth(formWidth), m_formHeight(formHeight) {
    setObjectName(name);
    setAttribute(Qt::WA_TranslucentBackground);
    place();
}

bool TCircle::loadBitmap(const QString& path) {
    QPixmap p;
    if (!p.load(path, "PNG"))
        return false;
    m_fill = p;
    m_fillFile = path;
    update();
    return true;
}

void TCircle::setStrokeColor(const QColor& color) {
    m_strokeColor = color;
    update();
}

void TCircle::setStrokeThickness(double width) {
    m_strokeThickness = width;
    update();
}

void TCircle::setFormSize(int width, int height) {
    m_formWidth = width;
    m_formHeight = height;
    place();
}

void TCircle::setScale(double s) {
    m_scale = s;
    place();
}

void TCircle::setPosition(double x, double y) {
    m_position = {x, y};
    place();
}

void TCircle::place() {
    // Half pixels go to the even neighbour, like every other layout number of the program.
    setGeometry(int(kw::Round(m_position.x())), int(kw::Round(m_position.y())),
                std::max(1, int(kw::Round(m_formWidth * m_scale))),
                std::max(1, int(kw::Round(m_formHeight * m_scale))));
    update();
}

void TCircle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // A ball is round even where its form size is not square (24 x 25): the circle fits the
    // smaller side and sits in the middle.
    const double side = std::min(width(), height());
    const double ring = std::min(m_strokeThickness * m_scale, side / 4);
    const QRectF box((width() - side) / 2, (height() - side) / 2, side, side);
    const double inset = ring / 2 + (m_halo && m_strokeThickness > 0 ? 2.5 : 0); // room for the halo
    const QRectF r = box.adjusted(inset, inset, -inset, -inset);
    if (!m_fill.isNull()) {
        QPainterPath clip;
        clip.addEllipse(m_strokeThickness > 0 ? r : box);
        p.save();
        p.setClipPath(clip);
        p.drawPixmap(m_strokeThickness > 0 ? r : box, m_fill, QRectF(m_fill.rect()));
        p.restore();
    }
    if (m_strokeThickness > 0) {
        if (m_halo) {
            p.setPen(QPen(QColor(20, 20, 20), ring + 5));
            p.drawEllipse(r);
            p.setPen(QPen(Qt::white, ring + 3));
            p.drawEllipse(r);
        }
        p.setPen(QPen(m_strokeColor, ring, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r);
    }
}

void TCircle::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void TCircle::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return)
        emit clicked();
    else
        QWidget::keyPressEvent(event);
}
