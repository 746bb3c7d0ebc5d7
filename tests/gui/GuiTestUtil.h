#pragma once

#include "app/ui/Kugelwerk.h"
#include "app/ui/Messages.h"
#include "tips/ui/Tippauswahl.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

/** Lets a test show the window without the first-show steps (settings, update). */
class KugelwerkTestAccess {
public:
    static void skipFirstShow(TKugelwerk* w) { w->m_shown = true; }
};

namespace kwtest {

/** The seed draw of 09.08.2015, as the window holds a draw: [1..8] drawn, [9], [10] supplementary. */
inline constexpr kw::DrawNumbers kSeedDraw09Aug{0, 3, 4, 7, 11, 15, 23, 27, 31, 36, 37};

/** Types a tip into a row of the window's table, cell by cell. */
inline void setTip(TKugelwerk* w, int row, const QStringList& cells) {
    for (int c = 1; c <= 8; ++c)
        w->TippsSetValue(c, row, cells.value(c - 1));
}

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

    QStringList messages;       // texts of message boxes shown
    QStringList messageDetails; // their second texts, in the same order (mostly empty)
    QStringList soundsPlayed;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TKugelwerk> m_main;
    std::unique_ptr<TTippauswahl> m_editor;
};

/**
 * A loopback port bound by this process but not listening: a connection to it is refused at
 * once, whatever else runs on the machine.
 */
class RefusedPort {
public:
    RefusedPort();
    ~RefusedPort();
    RefusedPort(const RefusedPort&) = delete;
    RefusedPort& operator=(const RefusedPort&) = delete;
    quint16 port() const { return m_port; }
    QString url() const;

private:
    int m_fd = -1;
    quint16 m_port = 0;
};

/** Ball pictures 1..37 in the program folder (the built ones when there, small stand-ins otherwise). */
void ensureBalls(const QString& home);

/** Copies the built assets (balls, pictures, sound, styles) into a folder. */
void copyAssets(const QString& toDir);

} // namespace kwtest
