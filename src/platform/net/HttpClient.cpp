#include "platform/net/HttpClient.h"

#include "platform/net/HttpExchange.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QPointer>
#include <QTimer>

namespace platform::net {

namespace {

// As many hops as a browser follows before it gives up.
constexpr int MaximumRedirects = 20;

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

struct HttpClient::Pending {
    QPointer<HttpExchange> exchange; // deleted later: its signal may be what finishes
    QTimer* timer = nullptr; // deleted later for the same reason
    Completion done;
    QByteArray method;
    QByteArray body;
    QUrl url;
    int redirects = 0;
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
{
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
    request->method = body ? QByteArray("POST") : QByteArray("GET");
    if (body)
        request->body = *body;
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

    request->timer = new QTimer(this);
    request->timer->setSingleShot(true);
    connect(request->timer, &QTimer::timeout, this, [this, id, options] {
        HttpResponse response;
        response.error = QStringLiteral("The server did not answer within %1 seconds.")
                             .arg(options.timeoutMs / 1000.0);
        finish(id, response);
    });
    request->timer->start(options.timeoutMs);
    send(id, url);
    return id;
}

void HttpClient::send(quint64 id, const QUrl& url)
{
    Pending* request = m_pending.value(id);
    if (!request)
        return;
    if (request->exchange) {
        disconnect(request->exchange, nullptr, this, nullptr);
        request->exchange->deleteLater();
    }
    request->url = url;
    auto* exchange
        = new HttpExchange(url, request->method, request->body, request->maxBodyBytes, this);
    request->exchange = exchange;
    connect(exchange, &HttpExchange::ended, this,
        [this, id, exchange] { exchangeEnded(id, exchange); });
    exchange->start();
}

void HttpClient::exchangeEnded(quint64 id, HttpExchange* exchange)
{
    Pending* request = m_pending.value(id);
    if (!request || request->exchange != exchange)
        return;
    const HttpExchange::Outcome& outcome = exchange->outcome();
    HttpResponse response;
    response.status = outcome.status;
    response.contentType = QString::fromLatin1(outcome.contentType);
    if (!outcome.error.isEmpty()) {
        response.error = outcome.error;
        finish(id, response);
        return;
    }

    if (isRedirect(outcome.status) && !outcome.location.isEmpty()) {
        // Followed only where the connection stays as safe as it was.
        const QUrl next = request->url.resolved(
            QUrl::fromEncoded(outcome.location.trimmed(), QUrl::StrictMode));
        QString refusal = refusalForUrl(next);
        if (refusal.isEmpty() && request->url.scheme().compare("https", Qt::CaseInsensitive) == 0
            && next.scheme().compare("https", Qt::CaseInsensitive) != 0)
            refusal = QStringLiteral("The server sent the request on to a less safe address "
                                     "(“%1”).")
                          .arg(next.toDisplayString());
        if (refusal.isEmpty() && ++request->redirects > MaximumRedirects)
            refusal = QStringLiteral("The server sent the request on too many times.");
        if (!refusal.isEmpty()) {
            response.error = refusal;
            finish(id, response);
            return;
        }
        // A 303, and a 301 or 302 after a POST, are fetched again with a GET, as browsers do.
        if (outcome.status == 303
            || (request->method == "POST" && (outcome.status == 301 || outcome.status == 302))) {
            request->method = "GET";
            request->body.clear();
        }
        send(id, next);
        return;
    }

    if (response.status >= 300) {
        response.error = QStringLiteral("The server answered with status %1 (%2).")
                             .arg(response.status)
                             .arg(QString::fromLatin1(outcome.reasonPhrase));
    } else if (response.status < 200) {
        response.error = QStringLiteral("The server sent no answer.");
    } else {
        response.body = outcome.body;
        response.ok = true;
    }
    finish(id, response);
}

void HttpClient::release(Pending* request)
{
    if (request->timer) {
        request->timer->stop();
        request->timer->deleteLater();
    }
    if (request->exchange) {
        disconnect(request->exchange, nullptr, this, nullptr);
        request->exchange->deleteLater();
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
        response.error = HttpAnswerReader::tooLargeText(request->maxBodyBytes);
    }
    if (!response.ok)
        response.body.clear();
    const Completion done = std::move(request->done);
    delete request;
    if (done)
        done(response);
}

} // namespace platform::net
