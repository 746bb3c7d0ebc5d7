// The draw on display: lookup by day, stepping, the ten balls and their layout.
#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"
#include "app/Numbers.h"
#include "draws/HistoryFile.h"

#include <QFileInfo>
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
        chosen = z; // without a later one, the last record read is the one shown
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
    for (int k = 1; k <= 10; ++k)
        Kreisfuellen(QStringLiteral("Circle%1").arg(k),
                     Home + QStringLiteral("zahl%1.png").arg(Zahl[size_t(k)]), true);
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
