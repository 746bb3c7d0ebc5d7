#include "app/ui/Kugelwerk.h"
#include "app/ui/Termination.h"
#include "tips/ui/Tippauswahl.h"

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
    // Closing the main window ends the program, whatever other top-level window may still exist.
    QObject::connect(&main, &TKugelwerk::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    kw::closeOnTermination(&main);
    main.fitToScreen();
    main.show();
    return app.exec();
}
