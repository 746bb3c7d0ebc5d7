// Settings: the controls are the settings; read at start, written at close.
#include "app/Kugelwerk.h"

void TKugelwerk::LoadSettings() {}
void TKugelwerk::SaveSettings() {}
void TKugelwerk::FuenferodersechserChange() { Label6->setText(QString::number(Fuenferodersechser->value())); }
void TKugelwerk::BesOftChange() { Label7->setText(QString::number(BesOft->value())); }
void TKugelwerk::BesSeltenChange() { Label16->setText(QString::number(BesSelten->value())); }
void TKugelwerk::UeberfaelligChange() { Label18->setText(QString::number(Ueberfaellig->value())); }
void TKugelwerk::UeLetzteChange() { Label14->setText(QString::number(UeLetzte->value())); }
void TKugelwerk::UevorletzteChange() { Label10->setText(QString::number(Uevorletzte->value())); }
void TKugelwerk::UeVorVorletzteChange() { Label12->setText(QString::number(UeVorVorletzte->value())); }
void TKugelwerk::DreioderVierChange() { Label36->setText(QString::number(DreioderVier->value())); }
void TKugelwerk::DreioderVierWochenChange() { Label37->setText(QString::number(DreioderVierWochen->value())); }
void TKugelwerk::MinUeberChange() { Label22->setText(QString::number(MinUeber->value())); }
void TKugelwerk::MaxUeberChange() { Label24->setText(QString::number(MaxUeber->value())); }
void TKugelwerk::geradeChange() { Label27->setText(QString::number(gerade->value())); }
void TKugelwerk::UngeradeChange() { Label30->setText(QString::number(Ungerade->value())); }
void TKugelwerk::PrimzahlenChange() { Label20->setText(QString::number(Primzahlen->value())); }
void TKugelwerk::QuerMinChange() { Label32->setText(QString::number(QuerMin->value())); }
void TKugelwerk::QuerMaxChange() { Label34->setText(QString::number(QuerMax->value())); }
void TKugelwerk::MaxLaufChange() { Label41->setText(QString::number(MaxLauf->value())); }
void TKugelwerk::MaxBerechnungsanzahlChange() {
    Label26->setText(QString::number(MaxBerechnungsanzahl->value()));
    Anzahl->setMaximum(MaxBerechnungsanzahl->value());
}
void TKugelwerk::AnzahlChange() { Label1->setText(QString::number(Anzahl->value())); }
