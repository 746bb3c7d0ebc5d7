#include "app/ui/Messages.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QUrl>

namespace kw {

namespace {
Messages::DetailHandler g_handler;
Messages::Asker g_asker;
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
