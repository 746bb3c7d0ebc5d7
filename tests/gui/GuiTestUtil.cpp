#include "GuiTestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kwtest {

RefusedPort::RefusedPort() {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        m_port = ntohs(a.sin_port);
}

RefusedPort::~RefusedPort() {
    if (m_fd >= 0)
        ::close(m_fd);
}

QString RefusedPort::url() const {
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

namespace {
// Every window of a test asks a port that this process holds and nobody listens on, unless the
// test names a server of its own.
struct HermeticDefault {
    RefusedPort port;
    HermeticDefault() { TKugelwerk::setDefaultUpdateServer(port.url()); }
} hermeticDefault;
} // namespace

void ensureBalls(const QString& home) {
    for (int n = 1; n <= 37; ++n) {
        const QString path = home + QStringLiteral("zahl%1.png").arg(n);
        if (QFileInfo::exists(path))
            continue;
        QImage img(16, 16, QImage::Format_ARGB32);
        img.fill(QColor::fromHsv(n * 9, 200, 220));
        img.save(path, "PNG");
    }
}

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
    kw::Messages::setDetailHandler([this](kw::Messages::Kind, const QString& text, const QString& detail) {
        messages << text;
        messageDetails << detail;
    });
    kw::Sound::setPlayer([this](const QString& path) { soundsPlayed << path; });
    // No test opens a real dialog: a file dialog is cancelled and a preview shows nothing,
    // unless the test answers them itself.
    kw::Messages::setFileChooser(
        [](auto, const QString&, const QString&, const QString&) { return QString(); });
    kw::Messages::setPreviewer([](QPrinter&, const kw::Messages::Paint&) {});
}

Fixture::~Fixture() {
    m_main.reset();
    m_editor.reset();
    kw::Messages::setHandler({});
    kw::Sound::setPlayer({});
    kw::Messages::setFileChooser({});
    kw::Messages::setPreviewer({});
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
