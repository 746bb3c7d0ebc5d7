#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QEventLoop;

namespace kw {

/** What one request brought back. */
struct HttpResult {
    /** No usable reply: no connection, a time-out, an error status, too many redirects, cancelled. */
    bool failed = false;
    /** The HTTP status code, 0 when no response arrived. */
    int statusCode = 0;
    /** The status text of the response, or what went wrong when there was none. */
    QString statusText;
    QByteArray body;
    /** The body grew beyond the bound and the transfer was stopped. */
    bool tooLarge = false;

    /** "code: text", the form the status line shows. */
    QString statusLine() const { return QString::number(statusCode) + QStringLiteral(": ") + statusText; }
};

/**
 * Fetches one day's draws from the update server. Each GET waits in a local event loop, so the
 * caller's window keeps painting; the caller decides which input it accepts meanwhile.
 */
class UpdateClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 5000;
    static constexpr int kMaxRedirects = 15;

    /** The manager keeps the cookies between requests; it must outlive the client. */
    explicit UpdateClient(QNetworkAccessManager* manager, QObject* parent = nullptr);

    /** base + "zahlen/setforlife.asp?Programm=SetforLife&Datum=" + yyyymmdd of day. */
    static QUrl requestUrl(const QString& base, double day);

    /** One GET; returns when the reply is complete, failed, timed out or was cancelled. */
    HttpResult get(const QUrl& url);

    /** Ends the request under way (it then reports a failure); no effect when none runs. */
    void cancel();

    /** Largest body accepted; a longer one stops the transfer (tooLarge). */
    qint64 maxBodyBytes = 64 * 1024;

private:
    QNetworkAccessManager* m_manager;
    QPointer<QNetworkReply> m_reply;
    QPointer<QEventLoop> m_loop;
    bool m_cancelled = false;
};

} // namespace kw
