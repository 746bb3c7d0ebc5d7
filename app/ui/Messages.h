#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace kw {

/**
 * Every message box of the program goes through here, so that tests can answer them without
 * a modal dialog. Without a handler a real box with an OK button is shown.
 */
class Messages {
public:
    enum class Kind { Information, Error };
    using Handler = std::function<void(Kind, const QString& text)>;

    static void information(QWidget* parent, const QString& text);
    /** The same box, with a second, smaller text under the first (why, what to do). */
    static void information(QWidget* parent, const QString& text, const QString& detail);
    /** Replaces the boxes like setHandler, and also receives the detail text. */
    using DetailHandler = std::function<void(Kind, const QString& text, const QString& detail)>;
    static void setDetailHandler(DetailHandler handler);
    /** The application's error report: what failed, in a box, and the program goes on. */
    static void error(QWidget* parent, const QString& text);
    /** Replaces the boxes (tests); an empty handler brings them back. */
    static void setHandler(Handler handler);

    using Asker = std::function<bool(const QString& text)>;
    /** A yes/no question; true for yes. */
    static bool ask(QWidget* parent, const QString& text);
    /** Answers the questions instead of a box (tests); an empty asker brings the box back. */
    static void setAsker(Asker asker);
};

/** Plays the win sound; tests and machines without sound can swap it. Never throws. */
class Sound {
public:
    using Player = std::function<void(const QString& path)>;
    static void play(const QString& path);
    /** Replaces the player (tests); an empty player brings back the real one. */
    static void setPlayer(Player player);
};

} // namespace kw
