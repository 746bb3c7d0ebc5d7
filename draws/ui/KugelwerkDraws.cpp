// The draw on display: lookup by day, stepping, the ten balls and their layout.
#include "app/Dates.h"
#include "app/Numbers.h"
#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"
#include "draws/HistoryFile.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QStyle>
#include <optional>

void TKugelwerk::DateTimePicker1ClosePopup() {
    if (!QFileInfo::exists(ZahlenFile)) {
        kw::Messages::information(
            this,
            QStringLiteral("Auf die Ziehungsdaten kann nicht zugegriffen werden, installieren Sie neu!"));
        return;
    }
    aktDatum = double(kw::Round(DateTimePicker1->day()));
    std::optional<kw::TZiehung> chosen;
    kw::HistoryFile::scan(ZahlenFile, [&](const kw::TZiehung& z) {
        if (!kw::isRecordDay(z.Ziehungsdatum))
            return true; // a damaged record is never shown, and the search goes on past it
        chosen = z;      // without a later one, the last record read is the one shown
        return z.Ziehungsdatum < aktDatum;
    });
    if (chosen) {
        Datum1 = chosen->Ziehungsdatum;
        for (int k = 1; k <= 10; ++k)
            Zahl[size_t(k)] = chosen->Zahlen[size_t(k - 1)];
        Ergebnisschreiben();
        DateTimePicker1->setDay(Datum1);
    }
    Komplettcheck();
}

void TKugelwerk::SpeedButton6Click() {
    DateTimePicker1->setDay(DateTimePicker1->day() - 1);
    DateTimePicker1ClosePopup();
}

void TKugelwerk::SpeedButton7Click() {
    DateTimePicker1->setDay(DateTimePicker1->day() + 1);
    DateTimePicker1ClosePopup();
}

void TKugelwerk::Ergebnisschreiben() {
    for (int k = 1; k <= 10; ++k) {
        Kreisfuellen(QStringLiteral("Circle%1").arg(k),
                     Home + QStringLiteral("zahl%1.png").arg(Zahl[size_t(k)]), true);
        Circle[k]->setAccessibleName(
            (k <= 8 ? QStringLiteral("drawn number %1") : QStringLiteral("supplementary number %1"))
                .arg(Zahl[size_t(k)]));
    }
    Panel24->update();
}

bool TKugelwerk::Kreisfuellen(const QString& name, const QString& fileName, bool visible) {
    auto* circle = findChild<TCircle*>(name);
    if (!circle || !circle->loadBitmap(fileName))
        return false;
    circle->setVisible(visible);
    return true;
}

void TKugelwerk::Panel24Resize() {
    const double W = double(kw::Round(Panel24->width()));
    const double H = Panel24->height();
    const double w1 = Circle[1]->formWidth();
    const double h1 = Circle[1]->formHeight();
    const double w7 = Circle[7]->formWidth();
    if (W < double(kw::Round(H * 0.6 * 8))) {
        const double s = (H / 2) / h1;
        for (int k = 1; k <= 5; ++k) {
            Circle[k]->setScale(s);
            Circle[k]->setPosition((k - 1) * s * w1, 0);
        }
        Circle[6]->setScale(s);
        Circle[6]->setPosition(0, H / 2);
        Circle[7]->setScale(s);
        Circle[7]->setPosition(s * w1, H / 2);
        for (int k = 8; k <= 10; ++k) {
            Circle[k]->setScale(s);
            Circle[k]->setPosition((k - 6) * s * w7, H / 2);
        }
    } else {
        int t = int(W) / 10;
        if (H < t)
            t = int(H);
        const double s = t / h1;
        for (int k = 1; k <= 10; ++k) {
            Circle[k]->setScale(s);
            Circle[k]->setPosition((k - 1) * s * w1, 0);
        }
    }
}

// --- The draw bar of the tips tab ------------------------------------------------------------

QWidget* TKugelwerk::buildDrawBar(QWidget* parent) {
    Panel1 = makePanel(parent, QStringLiteral("Panel1"));
    Panel1->setFixedHeight(49);
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(2);
    BitBtn1 = new QToolButton(Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    BitBtn1->setIconSize(QSize(28, 28));
    BitBtn1->setFixedSize(44, 44);
    BitBtn1->setToolTip(QStringLiteral("Fetch new draws"));
    BitBtn1->setAccessibleName(QStringLiteral("refresh draws"));
    DateTimePicker1 = new TDateEdit(Panel1);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setDate(QDate(2015, 9, 26));
    DateTimePicker1->setMinimumWidth(105);
    DateTimePicker1->setAccessibleName(QStringLiteral("date of the draw on display"));
    QFont arrowFont = font();
    arrowFont.setPointSize(16);
    SpeedButton6 = new QToolButton(Panel1);
    SpeedButton6->setObjectName(QStringLiteral("SpeedButton6"));
    SpeedButton6->setText(QStringLiteral("◀")); // a glyph, so that every style shows a finger-sized arrow
    SpeedButton6->setFixedSize(44, 44);
    SpeedButton6->setFont(arrowFont);
    SpeedButton6->setToolTip(QStringLiteral("previous draw"));
    SpeedButton6->setAccessibleName(QStringLiteral("previous draw"));
    Panel24 = new QWidget(Panel1);
    Panel24->setObjectName(QStringLiteral("Panel24"));
    Panel24->setMinimumWidth(60);
    for (int k = 1; k <= 10; ++k) {
        Circle[k] = new TCircle(QStringLiteral("Circle%1").arg(k), k == 7 || k == 8 ? 24 : 25, 25, Panel24);
        const QColor ring = k <= 6 ? QColor(0xFF, 0xF8, 0xDC) : k == 8 ? QColor(Qt::red) : QColor(Qt::blue);
        Circle[k]->setStrokeColor(ring);
        Circle[k]->setStrokeThickness(k >= 9 ? 4 : 0);
        Circle[k]->setPosition((k - 1) * 25, 0);
    }
    SpeedButton7 = new QToolButton(Panel1);
    SpeedButton7->setObjectName(QStringLiteral("SpeedButton7"));
    SpeedButton7->setText(QStringLiteral("▶")); // a glyph, so that every style shows a finger-sized arrow
    SpeedButton7->setFixedSize(44, 44);
    SpeedButton7->setFont(arrowFont);
    SpeedButton7->setToolTip(QStringLiteral("next draw"));
    SpeedButton7->setAccessibleName(QStringLiteral("next draw"));
    bar->addWidget(BitBtn1);
    bar->addWidget(DateTimePicker1);
    bar->addWidget(SpeedButton6);
    bar->addWidget(Panel24, 1);
    bar->addWidget(SpeedButton7);
    return Panel1;
}
