// Draws the program's pictures and synthesises its win sound into a folder:
// zahl1.png … zahl37.png, stern.png, Stop32.png, logo.png, the style files' arrows and yippee.wav.
// With --icons it draws the desktop icon instead, at the sizes of the desktop's icon theme.
#include "draws/BallColour.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

QFont boldFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setBold(true);
    f.setPixelSize(100);
    return f;
}

/** The text as an outline, scaled to fit into box (keeping its proportions) and centred there. */
QPainterPath fittedText(const QString& text, const QRectF& box, QFont font = boldFont()) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF r = path.boundingRect();
    const qreal s = std::min(box.width() / r.width(), box.height() / r.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(s, s);
    t.translate(-r.center().x(), -r.center().y());
    return t.map(path);
}

QColor ballColour(int n) {
    return QColor::fromRgba(kw::ballArgb(n));
}

/** A shaded ball with a white face and its number, filling rect. */
void paintBall(QPainter& p, const QRectF& rect, int number) {
    const QColor base = ballColour(number);
    const QPointF c = rect.center();
    const qreal r = rect.width() / 2;

    QRadialGradient body(c, r, QPointF(c.x() - r * 0.35, c.y() - r * 0.4));
    body.setColorAt(0.0, base.lighter(165));
    body.setColorAt(0.55, base);
    body.setColorAt(1.0, base.darker(190));
    p.setPen(QPen(base.darker(230), r * 0.035));
    p.setBrush(body);
    p.drawEllipse(c, r * 0.975, r * 0.975);

    // The face carries the number; large enough that two digits stay readable at 25 pixels.
    const qreal fr = r * 0.68;
    QRadialGradient face(c, fr, QPointF(c.x() - fr * 0.3, c.y() - fr * 0.35));
    face.setColorAt(0.0, Qt::white);
    face.setColorAt(1.0, QColor(0xE4, 0xE4, 0xE4));
    p.setPen(QPen(QColor(0, 0, 0, 60), r * 0.02));
    p.setBrush(face);
    p.drawEllipse(c, fr, fr);

    const QString text = QString::number(number);
    const qreal w = fr * (text.size() > 1 ? 1.5 : 0.8);
    const QRectF box(c.x() - w / 2, c.y() - fr * 0.52, w, fr * 1.04);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x10, 0x10, 0x10));
    p.drawPath(fittedText(text, box));

    // Gloss on the upper left.
    QRadialGradient gloss(QPointF(c.x() - r * 0.45, c.y() - r * 0.5), r * 0.35);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 200));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawEllipse(QPointF(c.x() - r * 0.45, c.y() - r * 0.5), r * 0.35, r * 0.3);
}

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage ball(int number) {
    QImage img = blank(128, 128);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paintBall(p, QRectF(2, 2, 124, 124), number);
    return img;
}

/** A closed polygon of n corners from angle a0 on, its radius alternating between r0 and r1. */
QPainterPath polygon(const QPointF& c, int n, qreal a0, qreal r0, qreal r1) {
    QPainterPath path;
    for (int i = 0; i < n; ++i) {
        const qreal a = a0 + i * 2 * std::numbers::pi / n;
        const qreal rr = i % 2 ? r1 : r0;
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

QPainterPath starPath(const QPointF& c, qreal outer, qreal inner) {
    return polygon(c, 10, -std::numbers::pi / 2, outer, inner);
}

QImage star() {
    QImage img = blank(64, 64);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = starPath(QPointF(32, 34), 30, 12.5);
    QLinearGradient g(0, 4, 0, 62);
    g.setColorAt(0.0, QColor(0xFF, 0xE8, 0x6A));
    g.setColorAt(1.0, QColor(0xF0, 0x9A, 0x00));
    p.setPen(QPen(QColor(0xA8, 0x5A, 0x00), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(path);
    return img;
}

QPainterPath octagon(const QPointF& c, qreal r) {
    return polygon(c, 8, std::numbers::pi / 8, r, r);
}

QImage stopSign() {
    // Drawn large and scaled down, so that the small sign keeps smooth edges.
    QImage big = blank(128, 128);
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(64, 64);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(octagon(c, 63));
    p.setBrush(QColor(0xC8, 0x10, 0x1E));
    p.drawPath(octagon(c, 55));
    p.setBrush(Qt::white);
    QFont f = boldFont();
    f.setStretch(QFont::Condensed);
    p.drawPath(fittedText(QStringLiteral("STOP"), QRectF(14, 44, 100, 40), f));
    p.end();
    return big.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage logo() {
    QImage img = blank(600, 150);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const int balls[] = {8, 17, 23, 37};
    for (int i = 0; i < 4; ++i)
        paintBall(p, QRectF(6 + i * 34, 44 + (i % 2) * 26, 60, 60), balls[i]);
    const QPainterPath text = fittedText(QStringLiteral("Kugelwerk"), QRectF(160, 22, 430, 106));
    QLinearGradient g(0, 22, 0, 128);
    g.setColorAt(0.0, QColor(0x3A, 0x86, 0xF0));
    g.setColorAt(1.0, QColor(0x12, 0x3E, 0x96));
    // A light halo under the outline keeps the name readable on dark styles too.
    p.setPen(QPen(QColor(255, 255, 255, 230), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(text);
    p.setPen(QPen(QColor(0x0A, 0x24, 0x5C), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(text);
    return img;
}

/**
 * The desktop icon: balls on a rounded blue tile. Each size is drawn for itself; below 32 pixels
 * one large ball stays recognisable where three small ones would blur.
 */
QImage appIcon(int size) {
    QImage img = blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF tile(s * 0.03, s * 0.03, s * 0.94, s * 0.94);
    QLinearGradient g(0, tile.top(), 0, tile.bottom());
    g.setColorAt(0.0, QColor(0x3A, 0x86, 0xF0));
    g.setColorAt(1.0, QColor(0x12, 0x3E, 0x96));
    p.setPen(QPen(QColor(0x0A, 0x24, 0x5C), std::max(1.0, s / 64)));
    p.setBrush(g);
    p.drawRoundedRect(tile, s * 0.2, s * 0.2);
    if (size < 32) {
        paintBall(p, QRectF(s * 0.1, s * 0.1, s * 0.8, s * 0.8), 8);
        return img;
    }
    const qreal d = s * 0.46;
    paintBall(p, QRectF(s * 0.07, s * 0.44, d, d), 23);
    paintBall(p, QRectF(s * 0.47, s * 0.44, d, d), 37);
    paintBall(p, QRectF(s * 0.27, s * 0.08, d, d), 8);
    return img;
}

/** The drop-down arrow of the style files, in a light and a dark shade. */
QImage arrow(const QColor& colour) {
    QImage img = blank(20, 12);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF{QPointF(1, 1), QPointF(19, 1), QPointF(10, 11)});
    return img;
}

/** A short rising arpeggio with a bell-like tone: 16-bit PCM, mono, 22050 Hz. */
QByteArray yippee() {
    constexpr int rate = 22050;
    struct Note {
        double freq, start, length;
    };
    const Note notes[] = {
        {523.25, 0.00, 0.20}, {659.26, 0.10, 0.20}, {783.99, 0.20, 0.22}, {1046.50, 0.30, 0.45}};
    const int total = int(0.78 * rate);
    std::vector<double> mix(size_t(total), 0.0);
    for (const Note& n : notes) {
        const int from = int(n.start * rate);
        const int len = int(n.length * rate);
        for (int i = 0; i < len && from + i < total; ++i) {
            const double t = double(i) / rate;
            const double attack = std::min(1.0, t / 0.006);
            const double release = std::min(1.0, (n.length - t) / 0.03);
            const double env = attack * release * std::exp(-t * 7.0);
            const double w = 2 * std::numbers::pi * n.freq * t;
            mix[size_t(from + i)] += env * (std::sin(w) + 0.35 * std::sin(2 * w) + 0.12 * std::sin(3 * w));
        }
    }
    double peak = 0;
    for (double v : mix)
        peak = std::max(peak, std::abs(v));
    QByteArray data;
    data.resize(total * 2);
    for (int i = 0; i < total; ++i) {
        const auto s = qint16(std::lround(mix[size_t(i)] / peak * 0.8 * 32767));
        qToLittleEndian(s, data.data() + 2 * i);
    }
    QByteArray wav;
    auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(quint32(36 + data.size()));
    wav.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(quint32(data.size()));
    wav.append(data);
    return wav;
}

bool save(const QImage& img, const QString& path) {
    if (img.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

/** DIR/hicolor/NxN/apps/NAME.png for each size of the icon theme. */
int writeIcons(const QString& dir, const QString& name) {
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(dir).arg(size);
        ok &= QDir().mkpath(folder) &&
              save(appIcon(size), folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
    return ok ? 0 : 1;
}

int main(int argc, char** argv) {
    const bool icons = argc == 4 && qstrcmp(argv[1], "--icons") == 0;
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n       %s --icons OUTPUT_FOLDER ICON_NAME\n", argv[0],
                     argv[0]);
        return 2;
    }
    // Fonts need the application object; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (icons)
        return writeIcons(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    for (int n = 1; n <= 37; ++n)
        ok &= save(ball(n), out.filePath(QStringLiteral("zahl%1.png").arg(n)));
    ok &= save(star(), out.filePath(QStringLiteral("stern.png")));
    ok &= save(stopSign(), out.filePath(QStringLiteral("Stop32.png")));
    ok &= save(logo(), out.filePath(QStringLiteral("logo.png")));
    ok &= save(arrow(QColor(0xE6, 0xE8, 0xEB)), out.filePath(QStringLiteral("arrow_light.png")));
    ok &= save(arrow(QColor(0x33, 0x3A, 0x44)), out.filePath(QStringLiteral("arrow_dark.png")));
    QFile wav(out.filePath(QStringLiteral("yippee.wav")));
    const QByteArray sound = yippee();
    if (!wav.open(QIODevice::WriteOnly) || wav.write(sound) != sound.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(wav.fileName()));
        ok = false;
    }
    return ok ? 0 : 1;
}
