#include "server/UpdateServer.h"

#include "app/Dates.h"

#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>
#include <QUrlQuery>
#include <sys/socket.h>

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
    m_connections.insert(socket, Connection{now, now, 0, -1, {}, {}});
    // Connected before the HTTP library connects its own reader, so the gate sees every byte first.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        const auto it = m_connections.find(socket);
        if (it == m_connections.end())
            return;
        it->active = m_clock.elapsed();
        if (it->lingerUntil >= 0) {
            socket->readAll(); // answered and closing: late bytes are dropped
            return;
        }
        // A backstop for clients that send far more than they read answers for.
        it->unanswered += socket->bytesAvailable();
        if (it->unanswered > maxUnansweredBytes) {
            socket->abort();
            return;
        }
        gate(socket);
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

void GuardedTcpServer::gate(QTcpSocket* socket) {
    const auto it = m_connections.find(socket);
    // Only the bytes the library has not read yet: it reads all there is at each signal.
    for (const RequestGate::Verdict& v : it->gate.feed(socket->peek(socket->bytesAvailable())))
        it->verdicts.append(v);
    if (!it->gate.refused())
        return;
    if (it->verdicts.size() == 1) {
        // No request before it waits for an answer: the library never sees these bytes.
        socket->readAll();
        refuseNow(socket, it->verdicts.first().status);
        return;
    }
    // The requests before it are answered first, by the library from these same bytes; then the
    // refusal follows.
    refuseWhenDue(socket);
}

RequestGate::Verdict GuardedTcpServer::takeVerdict(QTcpSocket* socket) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end() || it->lingerUntil >= 0)
        return RequestGate::Verdict{-1, true, false, false}; // closing: nothing more is answered
    if (it->verdicts.isEmpty())
        return {};
    const RequestGate::Verdict v = it->verdicts.takeFirst();
    if (it->verdicts.size() == 1 && it->verdicts.first().status > 0)
        refuseWhenDue(socket);
    return v;
}

void GuardedTcpServer::refuseWhenDue(QTcpSocket* socket) {
    // After the library has handled what it read: if it handed the refused request over itself,
    // the answer is already out; if it could not parse it, it is given here.
    QTimer::singleShot(0, socket, [this, socket] {
        const auto it = m_connections.find(socket);
        if (it != m_connections.end() && it->lingerUntil < 0 && it->verdicts.size() == 1 &&
            it->verdicts.first().status > 0)
            refuseNow(socket, it->verdicts.first().status);
    });
}

void GuardedTcpServer::refuseNow(QTcpSocket* socket, int status) {
    emit refused(socket->peerAddress(), status);
    endWith(socket,
            response(status,
                     {{"Content-Type", "text/plain; charset=ISO-8859-1"}, {"Cache-Control", "no-store"}},
                     RequestGate::reason(status).toLower() + '\n', true));
}

void GuardedTcpServer::endWith(QTcpSocket* socket, const QByteArray& bytes) {
    const auto it = m_connections.find(socket);
    socket->write(bytes);
    socket->flush();
    // The sending side is shut once everything is out; a client that reads slowly may leave
    // some of it in the socket's buffer for now.
    auto shutSending = [socket] { ::shutdown(int(socket->socketDescriptor()), SHUT_WR); };
    if (socket->bytesToWrite() == 0)
        shutSending();
    else
        connect(socket, &QTcpSocket::bytesWritten, socket, [socket, shutSending] {
            if (socket->bytesToWrite() == 0)
                shutSending();
        });
    if (it != m_connections.end()) {
        it->lingerUntil = m_clock.elapsed() + lingerMs;
        it->verdicts.clear();
    }
    // The library may have let go of a socket it could not parse; the connection still has to end.
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
}

QByteArray GuardedTcpServer::response(int status, const QList<QPair<QByteArray, QByteArray>>& headers,
                                      const QByteArray& body, bool close, bool head) {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + RequestGate::reason(status) + "\r\n";
    for (const auto& [name, value] : headers)
        out += name + ": " + value + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (close)
        out += "Connection: close\r\n";
    out += "\r\n";
    if (!head)
        out += body;
    return out;
}

void GuardedTcpServer::sweep() {
    // Silent connections end after the idle time; slow clients that trickle a byte at a time
    // still end after the lifetime; closed ones after their lingering time.
    const qint64 now = m_clock.elapsed();
    QList<QTcpSocket*> expired;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it)
        if (now - it->active > idleTimeoutMs || now - it->opened > lifetimeMs ||
            (it->lingerUntil >= 0 && now > it->lingerUntil))
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
    connect(m_tcp, &GuardedTcpServer::refused, this, &UpdateServer::logRefusal);
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
    const RequestGate::Verdict v = m_tcp->takeVerdict(socket);
    if (v.status < 0)
        return true; // the connection is closing; what came after is not answered
    if (v.status > 0) {
        // Refused by the gate, though the library took it for a request.
        logLine(request, v.status, 0);
        m_tcp->endWith(socket, GuardedTcpServer::response(
                                   v.status, {{"Content-Type", kTextType}, {"Cache-Control", "no-store"}},
                                   RequestGate::reason(v.status).toLower() + '\n', true));
        return true;
    }
    const Answer a = answer(request);
    logLine(request, int(a.status), v.head ? 0 : a.body.size());
    QList<QPair<QByteArray, QByteArray>> headers{{"Content-Type", kTextType},
                                                 {"Cache-Control", a.cacheControl}};
    if (!a.allow.isEmpty())
        headers.append(qMakePair(QByteArray("Allow"), a.allow));
    if (v.keepAlive)
        headers.append(qMakePair(QByteArray("Connection"), QByteArray("keep-alive")));
    const QByteArray bytes = GuardedTcpServer::response(int(a.status), headers, a.body, v.close, v.head);
    if (v.close) {
        m_tcp->endWith(socket, bytes);
    } else {
        socket->write(bytes);
        // Out at once: a client that has shut its sending side would otherwise see the
        // connection close (on its end of input) before the answer left.
        socket->flush();
    }
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
    if (request.method() != QHttpServerRequest::Method::Get &&
        request.method() != QHttpServerRequest::Method::Head) {
        Answer a = refusal(Status::MethodNotAllowed, "only GET and HEAD are served here\n");
        a.allow = QByteArrayLiteral("GET, HEAD");
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

void UpdateServer::logRefusal(const QHostAddress& peer, int status) {
    if (!m_log)
        return;
    m_logBuffer += QDateTime::currentDateTime().toString(Qt::ISODate).toLatin1() + ' ' +
                   peer.toString().toLatin1() + " - - " + QByteArray::number(status) + " 0\n";
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
