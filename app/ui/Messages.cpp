#include "app/ui/Messages.h"

#include <QAudioOutput>
#include <QFileDialog>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QUrl>

namespace kw {

namespace {
Messages::DetailHandler g_handler;
Messages::Asker g_asker;
Messages::FileChooser g_chooser;
Messages::Previewer g_previewer;
Sound::Player g_player;

void show(QWidget* parent, Messages::Kind kind, const QString& text, const QString& detail = QString()) {
    if (g_handler) {
        g_handler(kind, text, detail);
        return;
    }
    QMessageBox box(kind == Messages::Kind::Error ? QMessageBox::Warning : QMessageBox::Information,
                    QStringLiteral("Kugelwerk Mobil"), text, QMessageBox::Ok, parent);
    box.setInformativeText(detail);
    box.exec();
}

/** The real player: Qt Multimedia, created on first use; a missing file or device is silent. */
void realPlay(const QString& path) {
    static QMediaPlayer* player = nullptr;
    static QAudioOutput* output = nullptr;
    if (!QFileInfo::exists(path))
        return;
    if (!player) {
        player = new QMediaPlayer;
        output = new QAudioOutput;
        player->setAudioOutput(output);
    }
    player->stop();
    player->setSource(QUrl::fromLocalFile(path));
    player->play();
}
} // namespace

void Messages::information(QWidget* parent, const QString& text) {
    show(parent, Kind::Information, text);
}
void Messages::information(QWidget* parent, const QString& text, const QString& detail) {
    show(parent, Kind::Information, text, detail);
}
void Messages::error(QWidget* parent, const QString& text) {
    show(parent, Kind::Error, text);
}
void Messages::setHandler(Handler handler) {
    if (!handler) {
        g_handler = nullptr;
        return;
    }
    g_handler = [handler = std::move(handler)](Kind kind, const QString& text, const QString&) {
        handler(kind, text);
    };
}
void Messages::setDetailHandler(DetailHandler handler) {
    g_handler = std::move(handler);
}

bool Messages::ask(QWidget* parent, const QString& text) {
    if (g_asker)
        return g_asker(text);
    return QMessageBox::question(parent, QStringLiteral("Kugelwerk Mobil"), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}
void Messages::setAsker(Asker asker) {
    g_asker = std::move(asker);
}

QString Messages::chooseFile(QWidget* parent, FileDialog kind, const QString& caption, const QString& start,
                             const QString& filter) {
    if (g_chooser)
        return g_chooser(kind, caption, start, filter);
    return kind == FileDialog::Save ? QFileDialog::getSaveFileName(parent, caption, start, filter)
                                    : QFileDialog::getOpenFileName(parent, caption, start, filter);
}
void Messages::setFileChooser(FileChooser chooser) {
    g_chooser = std::move(chooser);
}

void Messages::printPreview(QWidget* parent, QPrinter& printer, const Paint& paint) {
    if (g_previewer) {
        g_previewer(printer, paint);
        return;
    }
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print tips"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* p) { paint(*p); });
    dialog.exec();
}
void Messages::setPreviewer(Previewer previewer) {
    g_previewer = std::move(previewer);
}

void Sound::play(const QString& path) {
    try {
        if (g_player)
            g_player(path);
        else
            realPlay(path);
    } catch (...) {
        // A decoration must never hide a result.
    }
}

void Sound::setPlayer(Player player) {
    g_player = std::move(player);
}

} // namespace kw
