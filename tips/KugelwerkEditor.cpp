// The main window's side of the tip editor: opening it for a row and the watch that takes the result back.
#include "app/Kugelwerk.h"
#include "tips/Tippauswahl.h"

void TKugelwerk::ListView1ButtonClick(int, const QString&) {}
void TKugelwerk::Timer1Timer() {}
