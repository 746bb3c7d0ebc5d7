// The draw on display: lookup by day, stepping, the ten balls and their layout.
#include "app/Kugelwerk.h"

void TKugelwerk::DateTimePicker1ClosePopup() {}
void TKugelwerk::SpeedButton6Click() {}
void TKugelwerk::SpeedButton7Click() {}
void TKugelwerk::Ergebnisschreiben() {}
bool TKugelwerk::Kreisfuellen(const QString&, const QString&, bool) { return false; }
void TKugelwerk::Panel24Resize() {}
