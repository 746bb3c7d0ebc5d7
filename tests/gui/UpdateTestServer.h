#pragma once

#include <QHostAddress>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <functional>

namespace kwtest {

/** One request as the server saw it. */
struct SeenRequest {
    QByteArray method;
    QByteArray target;                    // path and query
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QString datum() const {
        return QUrlQuery(QUrl(QString::fromLatin1(target)).query()).queryItemValue("Datum");
    }
};

/** What the server sends back; an empty raw reply means it never answers. */
struct Answer {
    QByteArray raw;
    int delayMs = 0;

    static Answer ok(const QByteArray& body, const QByteArray& extraHeaders = {}) {
        return status(200, "OK", body, extraHeaders);
    }
    static Answer status(int code, const QByteArray& text, const QByteArray& body = {},
                         const QByteArray& extraHeaders = {}) {
        return {"HTTP/1.1 " + QByteArray::number(code) + ' ' + text +
                    "\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size()) +
                    "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body,
                0};
    }
    static Answer redirect(const QByteArray& location) {
        return status(302, "Found", {}, "Location: " + location + "\r\n");
    }
    static Answer never() { return {}; }
};

/**
 * A minimal HTTP server on 127.0.0.1 with an ephemeral port: it reads one request per
 * connection, records it, sends what the handler returns and closes the connection.
 */
class TestHttpServer : public QObject {
public:
    using Handler = std::function<Answer(const SeenRequest&)>;

    explicit TestHttpServer(Handler handler) : m_handler(std::move(handler)) {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection())
                serve(s);
        });
    }

    /** The base URL the program is given ("UpdateServer"). */
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    quint16 port() const { return m_server.serverPort(); }

    QList<SeenRequest> requests;
    QStringList datums() const {
        QStringList out;
        for (const auto& r : requests)
            out << r.datum();
        return out;
    }

private:
    void serve(QTcpSocket* socket) {
        socket->setParent(this);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            SeenRequest req;
            const QList<QByteArray> lines = buffer->left(end).split('\n');
            const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
            req.method = first.value(0);
            req.target = first.value(1);
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines[i].indexOf(':');
                if (colon > 0)
                    req.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
            }
            buffer->clear();
            requests << req;
            const Answer answer = m_handler(req);
            if (answer.raw.isEmpty())
                return; // keeps the connection open and silent
            QPointer<QTcpSocket> guarded(socket);
            auto send = [guarded, raw = answer.raw] {
                if (!guarded)
                    return;
                guarded->write(raw);
                guarded->disconnectFromHost();
            };
            if (answer.delayMs > 0)
                QTimer::singleShot(answer.delayMs, this, send);
            else
                send();
        });
    }

    QTcpServer m_server;
    Handler m_handler;
};

} // namespace kwtest
