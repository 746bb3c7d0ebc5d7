#include "app/Kugelwerk.h"
#include "tips/Tippauswahl.h"

#include <QApplication>

TKugelwerk* Kugelwerk = nullptr;
TTippauswahl* Tippauswahl = nullptr;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kugelwerk"));
    TKugelwerk main;
    Kugelwerk = &main;
    TTippauswahl editor;
    Tippauswahl = &editor;
    main.setEditor(&editor);
    main.fitToScreen();
    main.show();
    return app.exec();
}
