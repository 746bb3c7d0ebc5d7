// The tip table, the tip list and the checks against the draw on display.
#include "app/SettingsTable.h"
#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"

#include <QBoxLayout>
#include <tuple>

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
        QStringList cells;
        QList<bool> hits;
        for (int c = 1; c <= 8; ++c) {
            cells << Tippreihen[c][r];
            hits << (Gewonnen_Zahlen[c][r] != 0);
        }
        ListView1->setTipColumns(r, cells, hits, kw::tipHitsText(*this, r));
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

// --- The tips tab ------------------------------------------------------------------------------

void TKugelwerk::buildTipsTab() {
    auto* tips = new QVBoxLayout(Lottotipp);
    tips->setContentsMargins(0, 0, 0, 0);
    tips->setSpacing(0);

    tips->addWidget(buildDrawBar(Lottotipp));

    ListView1 = new TTipListView(Lottotipp);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(QStringLiteral("tips"));
    Button4 = new QPushButton(ListView1);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->hide();
    auto* listBox = new QVBoxLayout;
    listBox->setContentsMargins(5, 5, 5, 5);
    listBox->addWidget(ListView1);
    tips->addLayout(listBox, 1);

    Panel25 = makePanel(Lottotipp, QStringLiteral("Panel25"));
    Panel25->setMinimumHeight(30);
    auto* qty = new QHBoxLayout(Panel25);
    qty->setContentsMargins(8, 0, 8, 0);
    Label42 = makeLabel(Panel25, QStringLiteral("Label42"), QStringLiteral("quantity:"));
    std::tie(Anzahl, Label1) = makeSlider(*kw::findSetting("Anzahl"), Panel25);
    Label1->setMinimumWidth(24);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label29 = makeLabel(Panel25, QStringLiteral("Label29"), QStringLiteral("selection:"));
    Switch1 = new TSwitch(Panel25);
    Switch1->setObjectName(QStringLiteral("Switch1"));
    Switch1->setAccessibleName(QStringLiteral("selection"));
    qty->addWidget(Label42);
    qty->addWidget(Anzahl);
    qty->addWidget(Label1);
    qty->addStretch(1);
    qty->addWidget(Label29);
    qty->addWidget(Switch1);
    tips->addWidget(Panel25);

    Panel3 = makePanel(Lottotipp, QStringLiteral("Panel3"));
    Panel3->setFixedHeight(62);
    auto* calc = new QHBoxLayout(Panel3);
    calc->setContentsMargins(10, 5, 10, 5);
    Button1 = new QPushButton(QStringLiteral("Calculate"), Panel3);
    Button1->setObjectName(QStringLiteral("Button1"));
    QFont big = Button1->font();
    big.setPointSize(15);
    Button1->setFont(big);
    Button1->setMinimumHeight(48);
    calc->addWidget(Button1);
    buildTipsMenu(calc);
    calc->addStretch(1);
    UpdateProgress = new QProgressBar(Panel3);
    UpdateProgress->setObjectName(QStringLiteral("UpdateProgress"));
    UpdateProgress->setAccessibleName(QStringLiteral("update progress"));
    UpdateProgress->setTextVisible(true);
    UpdateProgress->setMinimumWidth(120);
    UpdateProgress->hide();
    UpdateCancel = new QPushButton(QStringLiteral("Cancel"), Panel3);
    UpdateCancel->setObjectName(QStringLiteral("UpdateCancel"));
    UpdateCancel->setToolTip(QStringLiteral("Stop fetching draws; the draws fetched so far are kept"));
    UpdateCancel->setAccessibleName(QStringLiteral("cancel the update"));
    UpdateCancel->setMinimumHeight(36);
    UpdateCancel->hide();
    calc->addWidget(UpdateProgress, 2);
    calc->addWidget(UpdateCancel);
    tips->addWidget(Panel3);

    Status = makeLabel(Lottotipp, QStringLiteral("Status"), QString());
    QFont statusFont = Status->font();
    statusFont.setPointSize(12);
    Status->setFont(statusFont);
    Status->setMinimumHeight(14);
    Status->setContentsMargins(6, 0, 6, 2);
    Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A reason why no tip can pass runs over several lines instead of widening the window.
    Status->setWordWrap(true);
    UpdateSummary = makeLabel(Lottotipp, QStringLiteral("UpdateSummary"), QString());
    UpdateSummary->setFont(statusFont);
    UpdateSummary->setContentsMargins(6, 0, 6, 2);
    UpdateSummary->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    UpdateSummary->setAccessibleName(QStringLiteral("last update"));
    auto* statusRow = new QHBoxLayout;
    statusRow->setContentsMargins(0, 0, 0, 0);
    statusRow->addWidget(Status, 1);
    statusRow->addWidget(UpdateSummary);
    tips->addLayout(statusRow);
}
