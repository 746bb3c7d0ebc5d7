#include "GuiTestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kwtest {

void copyAssets(const QString& toDir) {
    const QString from = qEnvironmentVariable("KW_ASSETS_DIR");
    if (from.isEmpty())
        return;
    QDir src(from);
    const QStringList filters{QStringLiteral("*.png"), QStringLiteral("*.wav"), QStringLiteral("*.style")};
    for (const QString& f : src.entryList(filters, QDir::Files))
        QFile::copy(src.filePath(f), QDir(toDir).filePath(f));
}

Fixture::Fixture() {
    kw::Messages::setHandler([this](kw::Messages::Kind, const QString& text) { messages << text; });
    kw::Sound::setPlayer([this](const QString& path) { soundsPlayed << path; });
}

Fixture::~Fixture() {
    m_main.reset();
    m_editor.reset();
    kw::Messages::setHandler({});
    kw::Sound::setPlayer({});
}

QString Fixture::home() const {
    return QDir(m_dir.path()).absolutePath() + QLatin1Char('/');
}

TKugelwerk* Fixture::create() {
    m_main = std::make_unique<TKugelwerk>(home());
    m_editor = std::make_unique<TTippauswahl>();
    m_main->setEditor(m_editor.get());
    return m_main.get();
}

void Fixture::showWindow() {
    if (!m_main)
        create();
    m_main->FormShow();
}

} // namespace kwtest
