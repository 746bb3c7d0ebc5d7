#pragma once

#include "server/DrawData.h"
#include "server/RequestGate.h"

#include <QAbstractHttpServer>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <QTcpServer>
#include <QTimer>

namespace kw::srv {

/**
 * Accepts connections for the HTTP server and keeps them from tying it up: a connection that
 * stays silent too long, or lives too long, is dropped, and beyond a limit new ones are refused.
 * Every request passes its gate (RequestGate) before the HTTP library reads it; a refused one is
 * answered here and the connection closed.
 */
class GuardedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    explicit GuardedTcpServer(QObject* parent = nullptr);
    int idleTimeoutMs = 10000;
    int lifetimeMs = 120000;
    int lingerMs = 2000; // how long a closed connection's late bytes are still read and dropped
    int maxConnections = 2000;
    qint64 maxUnansweredBytes = 256 * 1024;
    int open() const { return int(m_connections.size()); }

    /** The gate's verdict on the next request the library hands over on this socket. */
    RequestGate::Verdict takeVerdict(QTcpSocket* socket);
    /**
     * Sends an answer that ends the connection: its bytes go out at once, the sending side is
     * shut, and what the client still sends is read and dropped for a while, so that it reads the
     * answer instead of a reset.
     */
    void endWith(QTcpSocket* socket, const QByteArray& response);

    /** A whole response: status line, the headers given, Content-Length, the body unless head. */
    static QByteArray response(int status, const QList<QPair<QByteArray, QByteArray>>& headers,
                               const QByteArray& body, bool close, bool head = false);

signals:
    void refused(const QHostAddress& peer, int status);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection {
        qint64 opened = 0;
        qint64 active = 0;     // last byte read or written
        qint64 unanswered = 0; // bytes read since the last answer
        qint64 lingerUntil = -1;
        RequestGate gate;
        QList<RequestGate::Verdict> verdicts; // of requests not answered yet, in order
    };
    void sweep();
    void gate(QTcpSocket* socket);
    void refuseNow(QTcpSocket* socket, int status);
    /** Refuses the last request once those before it are answered. */
    void refuseWhenDue(QTcpSocket* socket);

    // One clock and one sweep for all connections: restarting a timer per connection on every
    // read and write cost more than answering the request.
    QElapsedTimer m_clock;
    QTimer m_sweep;
    QHash<QTcpSocket*, Connection> m_connections;
};

/** One answer: status, body, cache rule and, for a refused method, the allowed ones. */
struct Answer {
    QHttpServerResponder::StatusCode status = QHttpServerResponder::StatusCode::Ok;
    QByteArray body;
    QByteArray cacheControl;
    QByteArray allow;
};

/**
 * The update server: serves the draw replies of one data file and logs every request. It takes
 * the parsed requests of Qt's HTTP server directly; with a single page, a router would only
 * cost time.
 */
class UpdateServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    /** log: where the request log goes (a file or stderr); may be null for no log. */
    UpdateServer(const QString& dataFile, QIODevice* log, QObject* parent = nullptr);
    ~UpdateServer() override;

    /** Loads the data file; on failure error names the line. */
    bool load(QString* error);
    /** Listens; port 0 picks a free one. Returns the port, or 0 with error set. */
    quint16 listen(const QHostAddress& address, quint16 port, QString* error);
    const DrawStore& store() const { return m_store; }
    void flushLog();

private:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;
    Answer answer(const QHttpServerRequest& request);
    void reloadIfChanged();
    void logLine(const QHttpServerRequest& request, int status, qsizetype bytes);
    void logRefusal(const QHostAddress& peer, int status);

    QString m_dataFile;
    DrawStore m_store;
    QDateTime m_loadedTime;
    qint64 m_loadedSize = -1;
    QElapsedTimer m_sinceCheck;
    QDate m_today; // looked up with the file, once a second: the clock call costs a stat()
    GuardedTcpServer* m_tcp = nullptr;
    QIODevice* m_log;
    QByteArray m_logBuffer;
    qint64 m_logSecond = -1;
    QByteArray m_logTime;
    QHostAddress m_logPeer;
    QByteArray m_logPeerText;
    QTimer m_logFlush;
};

} // namespace kw::srv
