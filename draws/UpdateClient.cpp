#include "draws/UpdateClient.h"

#include "app/Dates.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace kw {

UpdateClient::UpdateClient(QNetworkAccessManager* manager, QObject* parent)
    : QObject(parent), m_manager(manager) {
    if (!m_manager->cookieJar())
        m_manager->setCookieJar(new QNetworkCookieJar(m_manager));
}

QUrl UpdateClient::requestUrl(const QString& base, double day) {
    QString url = base;
    if (!url.endsWith(u'/'))
        url += u'/';
    return QUrl(url + QStringLiteral("zahlen/setforlife.asp?Programm=SetforLife&Datum=") + formatYmd(day));
}

void UpdateClient::cancel() {
    m_cancelled = true;
    if (m_reply)
        m_reply->abort();
    if (m_loop)
        m_loop->quit();
}

HttpResult UpdateClient::get(const QUrl& url) {
    HttpResult result;
    m_cancelled = false;

    QNetworkRequest request(url);
    request.setRawHeader("Accept", "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
    // One connection per request: the server may close it after each reply.
    request.setRawHeader("Connection", "close");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    // Ends a transfer when nothing arrives for this long: a server that never accepts, never
    // answers or stalls in the middle of a reply.
    request.setTransferTimeout(kTimeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);

    QNetworkReply* reply = m_manager->get(request);
    m_reply = reply;
    reply->setReadBufferSize(maxBodyBytes + 1);

    QEventLoop loop;
    m_loop = &loop;
    bool timedOut = false;
    auto readSome = [&] {
        result.body += reply->readAll();
        if (result.body.size() > maxBodyBytes && !result.tooLarge) {
            result.tooLarge = true;
            reply->abort();
        }
    };
    connect(reply, &QNetworkReply::readyRead, &loop, readSome);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(reply, &QNetworkReply::errorOccurred, &loop, [&](QNetworkReply::NetworkError code) {
        if (code == QNetworkReply::OperationCanceledError && !m_cancelled && !result.tooLarge)
            timedOut = true; // the transfer time-out aborts with this code
    });
    // A guard in case the manager's own time-out never fires (e.g. a stalled name lookup).
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    guard.start(2 * kTimeoutMs + 1000);

    if (!reply->isFinished() && !m_cancelled)
        loop.exec();
    m_loop = nullptr;
    guard.stop();
    if (!reply->isFinished()) {
        // The loop was left without a reply, e.g. because the application is quitting.
        m_cancelled = true;
        reply->abort();
    }
    if (!result.tooLarge && reply->error() == QNetworkReply::NoError)
        readSome();

    const QVariant code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.statusCode = code.isValid() ? code.toInt() : 0;
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();

    if (result.tooLarge) {
        // Not a transport failure: the reply came, it is just not a draw reply.
        result.failed = false;
        result.statusText = reason;
    } else if (reply->error() == QNetworkReply::NoError) {
        result.statusText = reason;
    } else {
        result.failed = true;
        result.body.clear();
        if (m_cancelled)
            result.statusText = QStringLiteral("Update cancelled");
        else if (timedOut)
            result.statusText =
                QStringLiteral("No answer from the update server within %1 s").arg(kTimeoutMs / 1000);
        else if (reply->error() == QNetworkReply::TooManyRedirectsError)
            result.statusText = QStringLiteral("More than %1 redirects").arg(kMaxRedirects);
        else if (result.statusCode >= 400 && !reason.isEmpty())
            result.statusText = reason;
        else
            result.statusText = reply->errorString();
    }
    m_reply = nullptr;
    // Deleted here, not later: the update waits for each day in a loop of its own, and an object
    // left for later deletion is only freed once the loop that was running at the time (the whole
    // update) returns, so every reply of a long fill would stay alive until its end.
    reply->disconnect();
    delete reply;
    return result;
}

} // namespace kw
