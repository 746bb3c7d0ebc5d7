// Layout for the window's width, swipes between tabs, the close button, styles and the web link.
#include "app/Kugelwerk.h"

void TKugelwerk::TabControl1Resize() {
    Button4Click();
    Panel24Resize();
}
void TKugelwerk::FormGesture(int, bool&) {}
void TKugelwerk::SpeedButton5Click() { close(); }
void TKugelwerk::Button8Click() {}
void TKugelwerk::Button6Click() {}
void TKugelwerk::PruneStyleList() {}
void TKugelwerk::SelectStoredStyle() {}
void TKugelwerk::ApplyStyle() {}
