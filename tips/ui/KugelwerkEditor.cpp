// The main window's side of the tip editor: opening it for a row and the watch that takes the result back.
#include "app/Numbers.h"
#include "app/ui/Kugelwerk.h"
#include "tips/ui/Tippauswahl.h"

void TKugelwerk::ListView1ButtonClick(int row, const QString& objectClass) {
    if (objectClass.trimmed() != QStringLiteral("TListItemTextButton"))
        return;
    TTippauswahl* ed = m_editor;
    if (!ed || row < 0 || row >= kw::kTipRows)
        return;
    watchEditorHiding();
    Timer1->start();
    ed->Home = Home;
    const bool opening = !ed->isVisible();
    ed->show();
    if (opening)
        ed->placeOver(this); // now that its size is settled
    ed->raise();
    ed->activateWindow();
    ed->setStyleSheetFile(currentStyleSheet());
    ed->Tippnummer = row;
    for (int c = 1; c <= 10; ++c) {
        const std::optional<int32_t> number = kw::tryStrToInt(Tippreihen[c][row]);
        ed->aktuellerTipp[size_t(c)] = number.value_or(0);
        ed->aktuellGewonnen[size_t(c)] = number && Gewonnen_Zahlen[c][row] != 0;
    }
    ed->aktuellerTipp[9] = Zahl[9];
    ed->aktuellerTipp[10] = Zahl[10];
    ed->aktuellGewonnen[9] = Gewonnen_Zahlen[9][row] != 0;
    ed->aktuellGewonnen[10] = Gewonnen_Zahlen[10][row] != 0;
    KorrekturTip = false;
    m_editPending = true;
    ed->Zahlensetzen();
}

void TKugelwerk::watchEditorHiding() {
    if (m_editorHidingWatched || !m_editor)
        return;
    m_editorHidingWatched = true;
    // Queued, so the return step runs after the editor's own click handler, never inside it.
    connect(
        m_editor, &TTippauswahl::hidden, this,
        [this] {
            // A generator run or an update ends with a full check, which runs the watch itself; a
            // write into the tip table in the middle of either would disturb it.
            if (runRunning() || updateRunning() || !m_editPending)
                return;
            // The editor was open and is hidden now, even if no tick saw it open in between.
            KorrekturTip = true;
            guarded([this] { Timer1Timer(); });
        },
        Qt::QueuedConnection);
}

void TKugelwerk::Timer1Timer() {
    TTippauswahl* ed = m_editor;
    if (!ed)
        return;
    if (ed->isVisible())
        KorrekturTip = true;
    if (KorrekturTip && !ed->isVisible()) {
        KorrekturTip = false;
        m_editPending = false;
        const int row = ed->Tippnummer;
        if (row < 999 && row >= 0 && row < kw::kTipRows)
            for (int c = 1; c <= 8; ++c)
                TippsSetValue(c, row, QString::number(ed->aktuellerTipp[size_t(c)]));
        Komplettcheck();
        Timer1->stop();
    }
}
