#include "server/UpdateServer.h"

#include "app/Dates.h"

#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>
#include <QUrlQuery>

namespace kw::srv {

namespace {
const QString kPath = QStringLiteral("/zahlen/setforlife.asp");
constexpr int kReloadCheckMs = 1000;
constexpr qsizetype kLogFlushBytes = 64 * 1024;

const QByteArray kTextType = QByteArrayLiteral("text/plain; charset=ISO-8859-1");

Answer refusal(QHttpServerResponder::StatusCode status, const QByteArray& body) {
    return {status, body, QByteArrayLiteral("no-store"), {}};
}
} // namespace

GuardedTcpServer::GuardedTcpServer(QObject* parent) : QTcpServer(parent) {
    m_clock.start();
    m_sweep.setInterval(500);
    connect(&m_sweep, &QTimer::timeout, this, &GuardedTcpServer::sweep);
    m_sweep.start();
}

void GuardedTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (m_connections.size() >= maxConnections) {
        // Better a refused connection than a server that runs out of descriptors.
        socket->abort();
        socket->deleteLater();
        return;
    }
    const qint64 now = m_clock.elapsed();
    m_connections.insert(socket, Connection{now, now, 0});
    // A request is a few hundred bytes; whoever sends far more without getting an answer (huge
    // headers, an endless request line) is cut off before the buffers grow.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        const auto it = m_connections.find(socket);
        if (it == m_connections.end())
            return;
        it->active = m_clock.elapsed();
        it->unanswered += socket->bytesAvailable();
        if (it->unanswered > maxUnansweredBytes)
            socket->abort();
    });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
        const auto it = m_connections.find(socket);
        if (it != m_connections.end()) {
            it->active = m_clock.elapsed();
            it->unanswered = 0;
        }
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { m_connections.remove(socket); });
    connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.remove(socket); });
    addPendingConnection(socket);
}

void GuardedTcpServer::sweep() {
    // Silent connections end after the idle time; slow clients that trickle a byte at a time
    // still end after the lifetime.
    const qint64 now = m_clock.elapsed();
    QList<QTcpSocket*> expired;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it)
        if (now - it->active > idleTimeoutMs || now - it->opened > lifetimeMs)
            expired << it.key();
    for (QTcpSocket* socket : expired)
        socket->abort();
}

UpdateServer::UpdateServer(const QString& dataFile, QIODevice* log, QObject* parent)
    : QAbstractHttpServer(parent), m_dataFile(dataFile), m_log(log) {
    m_logFlush.setInterval(1000);
    connect(&m_logFlush, &QTimer::timeout, this, &UpdateServer::flushLog);
    m_logFlush.start();
}

UpdateServer::~UpdateServer() {
    flushLog();
}

bool UpdateServer::load(QString* error) {
    const QFileInfo info(m_dataFile);
    if (!m_store.load(m_dataFile, error))
        return false;
    m_loadedTime = info.lastModified();
    m_loadedSize = info.size();
    m_sinceCheck.start();
    m_today = QDate::currentDate();
    return true;
}

quint16 UpdateServer::listen(const QHostAddress& address, quint16 port, QString* error) {
    m_tcp = new GuardedTcpServer(this);
    if (!m_tcp->listen(address, port)) {
        if (error)
            *error = m_tcp->errorString();
        return 0;
    }
    bind(m_tcp);
    return m_tcp->serverPort();
}

void UpdateServer::reloadIfChanged() {
    // One look at the file per second is enough to pick up an added draw, and keeps stat()
    // calls out of the path of every request.
    if (m_sinceCheck.isValid() && m_sinceCheck.elapsed() < kReloadCheckMs)
        return;
    m_sinceCheck.start();
    m_today = QDate::currentDate();
    const QFileInfo info(m_dataFile);
    if (info.lastModified() == m_loadedTime && info.size() == m_loadedSize)
        return;
    QString error;
    const QDateTime time = info.lastModified();
    const qint64 size = info.size();
    if (m_store.load(m_dataFile, &error)) {
        m_logBuffer += QByteArrayLiteral("reloaded ") + m_dataFile.toUtf8() + ": " +
                       QByteArray::number(m_store.drawCount()) + " draws\n";
    } else {
        // Keep serving what was loaded; the file is looked at again when it changes once more.
        m_logBuffer +=
            QByteArrayLiteral("reload failed, serving the draws loaded before: ") + error.toUtf8() + '\n';
    }
    m_loadedTime = time;
    m_loadedSize = size;
}

bool UpdateServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const Answer a = answer(request);
    logLine(request, int(a.status), a.body.size());
    QHttpServerResponder responder = makeResponder(request, socket);
    if (a.allow.isEmpty())
        responder.write(a.body, {{"Content-Type", kTextType}, {"Cache-Control", a.cacheControl}}, a.status);
    else
        responder.write(a.body,
                        {{"Content-Type", kTextType}, {"Cache-Control", a.cacheControl}, {"Allow", a.allow}},
                        a.status);
    return true;
}

void UpdateServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    // Only reached for requests handleRequest did not take, which it never does.
    const QByteArray body = QByteArrayLiteral("not found\n");
    logLine(request, 404, body.size());
    makeResponder(request, socket)
        .write(body, QByteArrayLiteral("text/plain"), QHttpServerResponder::StatusCode::NotFound);
}

Answer UpdateServer::answer(const QHttpServerRequest& request) {
    using Status = QHttpServerResponder::StatusCode;
    const QUrl url = request.url();
    if (url.path() != kPath)
        return refusal(Status::NotFound, "not found\n");
    if (request.method() != QHttpServerRequest::Method::Get) {
        Answer a = refusal(Status::MethodNotAllowed, "only GET is served here\n");
        a.allow = QByteArrayLiteral("GET");
        return a;
    }
    const QUrlQuery query(url);
    if (query.queryItemValue(QStringLiteral("Programm")) != QStringLiteral("SetforLife"))
        return refusal(Status::BadRequest, "Programm must be SetforLife\n");
    const QString datum = query.queryItemValue(QStringLiteral("Datum"));
    const QDate day = QDate::fromString(datum, QStringLiteral("yyyyMMdd"));
    if (datum.size() != 8 || !day.isValid())
        return refusal(Status::BadRequest, "Datum must be a day as yyyymmdd\n");

    reloadIfChanged();
    Answer a;
    a.body = m_store.replyFor(day);
    // A drawn day two days back will not change any more; anything newer, or a day without a
    // draw (one may still be added), must be asked again.
    a.cacheControl = m_store.hasDraw(day) && day.daysTo(m_today) >= 2
                         ? QByteArrayLiteral("public, max-age=31536000, immutable")
                         : QByteArrayLiteral("no-cache");
    return a;
}

void UpdateServer::logLine(const QHttpServerRequest& request, int status, qsizetype bytes) {
    if (!m_log)
        return;
    static const char* const methods[] = {"?", "GET", "PUT", "DELETE", "POST", "HEAD", "OPTIONS", "PATCH"};
    const auto m = int(request.method());
    int index = 0;
    for (int bit = 0; bit < 7; ++bit)
        if (m == (1 << bit))
            index = bit + 1;
    // Formatting a time and an address costs more than the answer itself; both rarely change
    // from one request to the next, so the last texts are kept.
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (now != m_logSecond) {
        m_logSecond = now;
        m_logTime = QDateTime::fromSecsSinceEpoch(now).toString(Qt::ISODate).toLatin1();
    }
    const QHostAddress peer = request.remoteAddress();
    if (peer != m_logPeer) {
        m_logPeer = peer;
        m_logPeerText = peer.toString().toLatin1();
    }
    const QUrl url = request.url();
    m_logBuffer += m_logTime;
    m_logBuffer += ' ';
    m_logBuffer += m_logPeerText;
    m_logBuffer += ' ';
    m_logBuffer += methods[index];
    m_logBuffer += ' ';
    m_logBuffer += url.path(QUrl::FullyEncoded).toLatin1();
    if (url.hasQuery()) {
        m_logBuffer += '?';
        m_logBuffer += url.query(QUrl::FullyEncoded).toLatin1();
    }
    m_logBuffer += ' ';
    m_logBuffer += QByteArray::number(status);
    m_logBuffer += ' ';
    m_logBuffer += QByteArray::number(bytes);
    m_logBuffer += '\n';
    if (m_logBuffer.size() >= kLogFlushBytes)
        flushLog();
}

void UpdateServer::flushLog() {
    if (!m_log || m_logBuffer.isEmpty())
        return;
    m_log->write(m_logBuffer);
    if (auto* file = qobject_cast<QFileDevice*>(m_log))
        file->flush();
    m_logBuffer.clear();
}

} // namespace kw::srv
