#include "platform/net/HttpClient.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace platform::net {

namespace {

QString megabytes(qint64 bytes)
{
    return QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'g', 3);
}

} // namespace

struct HttpClient::Pending {
    QPointer<QNetworkReply> reply;
    QTimer* timer = nullptr; // deleted later: it may be the one whose signal finishes
    Completion done;
    qint64 maxBodyBytes = 0;
};

QVariant HttpResponse::json(QString* error) const
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = QStringLiteral("The server's answer is not JSON (%1 at byte %2).")
                         .arg(parseError.errorString())
                         .arg(parseError.offset);
        return {};
    }
    return document.toVariant();
}

HttpClient::HttpClient(QObject* parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
    // Redirects are followed only where they keep the connection as safe as it was.
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

HttpClient::~HttpClient()
{
    const auto pending = m_pending;
    m_pending.clear();
    for (Pending* request : pending) {
        release(request);
        delete request;
    }
}

HttpClient& HttpClient::shared()
{
    static QPointer<HttpClient> client;
    if (!client)
        client = new HttpClient(QCoreApplication::instance());
    return *client;
}

QString HttpClient::refusalForUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QStringLiteral("Only http and https addresses can be fetched (“%1”).")
            .arg(url.toDisplayString());
    if (url.host().isEmpty())
        return QStringLiteral("The address “%1” names no server.").arg(url.toDisplayString());
    return {};
}

quint64 HttpClient::get(const QUrl& url, Completion done, const HttpRequestOptions& options)
{
    return start(url, nullptr, std::move(done), options);
}

quint64 HttpClient::postJSON(
    const QUrl& url, const QByteArray& json, Completion done, const HttpRequestOptions& options)
{
    return start(url, &json, std::move(done), options);
}

void HttpClient::cancel(quint64 id)
{
    Pending* request = m_pending.take(id);
    if (!request)
        return;
    release(request);
    delete request;
}

quint64 HttpClient::start(
    const QUrl& url, const QByteArray* body, Completion done, const HttpRequestOptions& options)
{
    const quint64 id = m_nextId++;
    auto* request = new Pending;
    request->done = std::move(done);
    request->maxBodyBytes = options.maxBodyBytes;
    m_pending.insert(id, request);

    const QString refusal = refusalForUrl(url);
    if (!refusal.isEmpty()) {
        // Answered later all the same, so callers see one order of events.
        QTimer::singleShot(0, this, [this, id, refusal] {
            HttpResponse response;
            response.error = refusal;
            finish(id, response);
        });
        return id;
    }

    QNetworkRequest networkRequest(url);
    networkRequest.setRawHeader("Accept", "application/json");
    QNetworkReply* reply = nullptr;
    if (body) {
        networkRequest.setHeader(
            QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
        reply = m_network->post(networkRequest, *body);
    } else {
        reply = m_network->get(networkRequest);
    }
    request->reply = reply;

    request->timer = new QTimer(this);
    request->timer->setSingleShot(true);
    connect(request->timer, &QTimer::timeout, this, [this, id, options] {
        HttpResponse response;
        response.error = QStringLiteral("The server did not answer within %1 seconds.")
                             .arg(options.timeoutMs / 1000.0);
        finish(id, response);
    });
    request->timer->start(options.timeoutMs);

    // An answer that says or shows it is too large is stopped at once.
    connect(reply, &QNetworkReply::downloadProgress, this,
        [this, id, max = options.maxBodyBytes](qint64 received, qint64 total) {
            if (received <= max && total <= max)
                return;
            HttpResponse response;
            response.error
                = QStringLiteral("The server's answer is larger than %1 MB.").arg(megabytes(max));
            finish(id, response);
        });
    connect(reply, &QNetworkReply::finished, this, [this, id, reply] {
        HttpResponse response;
        response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        response.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        response.body = reply->readAll();
        if (response.status >= 300 && response.status < 600 && response.status != 0) {
            response.error
                = QStringLiteral("The server answered with status %1 (%2).")
                      .arg(response.status)
                      .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        } else if (reply->error() != QNetworkReply::NoError) {
            response.error
                = QStringLiteral("The server could not be reached: %1").arg(reply->errorString());
        } else if (response.status < 200) {
            response.error = QStringLiteral("The server sent no answer.");
        } else {
            response.ok = true;
        }
        finish(id, response);
    });
    return id;
}

void HttpClient::release(Pending* request)
{
    if (request->timer) {
        request->timer->stop();
        request->timer->deleteLater();
    }
    if (request->reply) {
        disconnect(request->reply, nullptr, this, nullptr);
        if (request->reply->isRunning())
            request->reply->abort();
        request->reply->deleteLater();
    }
}

void HttpClient::finish(quint64 id, HttpResponse response)
{
    Pending* request = m_pending.take(id);
    if (!request)
        return;
    release(request);
    if (response.ok && response.body.size() > request->maxBodyBytes) {
        response.ok = false;
        response.error = QStringLiteral("The server's answer is larger than %1 MB.")
                             .arg(megabytes(request->maxBodyBytes));
    }
    if (!response.ok)
        response.body.clear();
    const Completion done = std::move(request->done);
    delete request;
    if (done)
        done(response);
}

} // namespace platform::net
