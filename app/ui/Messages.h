#pragma once

#include <QString>
#include <functional>

class QPrinter;
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

    enum class FileDialog { Open, Save };
    /** start: the folder or file the dialog opens at. The result is the chosen file; empty: cancelled. */
    using FileChooser = std::function<QString(FileDialog, const QString& caption, const QString& start,
                                              const QString& filter)>;
    static QString chooseFile(QWidget* parent, FileDialog kind, const QString& caption, const QString& start,
                              const QString& filter);
    /** Chooses the files instead of a dialog (tests); an empty chooser brings the dialog back. */
    static void setFileChooser(FileChooser chooser);

    using Paint = std::function<void(QPrinter& printer)>;
    using Previewer = std::function<void(QPrinter& printer, const Paint& paint)>;
    /** The print preview of a document that paint draws; printing (or a PDF) starts from there. */
    static void printPreview(QWidget* parent, QPrinter& printer, const Paint& paint);
    /** Takes the preview's place (tests): gets the printer and the painter of the document. */
    static void setPreviewer(Previewer previewer);
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
