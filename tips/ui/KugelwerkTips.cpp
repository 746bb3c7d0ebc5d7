// The tip table, the tip list and the checks against the draw on display.
#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"

void TKugelwerk::TippsSetValue(int col, int row, const QVariant& value) {
    if (col == 0)
        setFlag(row, value.toBool());
    else
        setCell(col, row, value.toString());
}

void TKugelwerk::Loeschen() {
    TipTable::Loeschen();
}

void TKugelwerk::Button4Click() {
    const int n = std::clamp(Anzahl->value(), 0, kw::kTipRows);
    const int height = kw::tipItemHeight(ListView1->height(), n);
    const bool running = Button1->text() == QLatin1String("Stoppen");
    const QString stop = Home + QStringLiteral("Stop32.png");
    const QString star = Home + QStringLiteral("stern.png");
    const QString button = QStringLiteral("show/edit");

    // One repaint for the whole rebuild; the view keeps its scroll place across it, which
    // matters while the generator rebuilds and the user scrolls.
    ListView1->setUpdatesEnabled(false);
    ListView1->clearTips();
    ListView1->setAlternatingRowColors(true);
    for (int r = 0; r < n; ++r) {
        QString picture;
        if (running && Test_Zahlen[r])
            picture = stop;
        if (Gewonnen_Zahlen[11][r])
            picture = star;
        ListView1->addTipItem(kw::tipItemText(*this, r), height, picture, Tippreihe1[r], button);
    }
    ListView1->setUpdatesEnabled(true);
}

void TKugelwerk::ListView1ItemClick(int row) {
    if (!ListView1->editMode() || row < 0 || row >= kw::kTipRows)
        return;
    TippsSetValue(0, row, !Tippreihe1[row]);
    // The list toggles its own mark on the click; taking it from the flag keeps both equal.
    ListView1->setChecked(row, Tippreihe1[row]);
}

void TKugelwerk::Switch1Switch() {
    ListView1->setEditMode(Switch1->isChecked());
    if (Switch1->isChecked())
        Button4Click();
}

void TKugelwerk::Zettelcheck(const QString& a1, const QString& a2, const QString& a3, const QString& a4,
                             const QString& a5, const QString& a6, const QString& a7, const QString& a8) {
    const kw::CheckResult r = kw::Zettelcheck(Zahl, {a1, a2, a3, a4, a5, a6, a7, a8});
    Gewinn = r.Gewinn;
    Zusatz = r.Zusatz;
    Treffer = r.Treffer;
}

int TKugelwerk::Komplettcheck() {
    // The rows of the list as last built: a tips count raised since then takes part from the
    // next rebuild on, and a list never built checks nothing. Start-up builds the list right
    // after reading the settings, so the first check covers every stored tip.
    const int rows = std::clamp(ListView1->count(), 0, kw::kTipRows);
    kw::FullCheckResult result;
    try {
        result = kw::checkAllTips(*this, rows, Zahl);
    } catch (const kw::CellError&) {
        // The marks were cleared and partly set again: show them as they are now, then let the
        // caller learn that the check stopped (its error report names the tip).
        Button4Click();
        throw;
    }
    if (result.checked > 0) {
        Gewinn = result.last.Gewinn;
        Zusatz = result.last.Zusatz;
        Treffer = result.last.Treffer;
    }
    if (result.anyWin)
        kw::Sound::play(SoundName);
    Timer1Timer();
    Button4Click();
    return result.best;
}
