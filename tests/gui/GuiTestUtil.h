#pragma once

#include "app/Kugelwerk.h"
#include "app/Messages.h"
#include "tips/Tippauswahl.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace kwtest {

/**
 * A main window and its editor on a temporary program folder (with the built assets copied in),
 * message boxes and sound captured instead of shown or played.
 */
class Fixture {
public:
    Fixture();
    ~Fixture();
    QString home() const; // with trailing separator
    /** Creates the windows (main window first, then the editor), as the program does. */
    TKugelwerk* create();
    TKugelwerk* window() const { return m_main.get(); }
    TTippauswahl* editor() const { return m_editor.get(); }
    /** Runs FormShow as the first show does. */
    void showWindow();

    QStringList messages; // texts of message boxes shown
    QStringList soundsPlayed;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TKugelwerk> m_main;
    std::unique_ptr<TTippauswahl> m_editor;
};

/** Copies the built assets (balls, pictures, sound, styles) into a folder. */
void copyAssets(const QString& toDir);

} // namespace kwtest
