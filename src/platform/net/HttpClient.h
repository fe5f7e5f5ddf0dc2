#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

namespace platform::net {

class HttpExchange;

// What one request may take: how long it may wait for the whole answer and how large the
// answer may be.
struct HttpRequestOptions {
    static constexpr int DefaultTimeoutMs = 30000;
    static constexpr qint64 DefaultMaxBodyBytes = 32LL * 1024 * 1024;

    int timeoutMs = DefaultTimeoutMs;
    qint64 maxBodyBytes = DefaultMaxBodyBytes;
};

// The outcome of one request. `ok` only for a 2xx answer read whole within the limits;
// otherwise `error` says why in words a person understands.
struct HttpResponse {
    bool ok = false;
    int status = 0; // 0 when no answer arrived
    QByteArray body;
    QString contentType;
    QString error;

    // The body as JSON, or an invalid QVariant with `error` set when it is not JSON.
    QVariant json(QString* error = nullptr) const;
};

// A small HTTP/1.1 client for JSON services: GET and POST, asynchronous on the main thread
// (no nested event loop), http and https only, never redirected from https to http. An
// answer counts only once it is in whole as its server framed it. Every request ends with
// exactly one call of its completion, later than the call that started it, unless it is
// cancelled first.
class HttpClient : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(const HttpResponse& response)>;

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // The application's client, made on first use on the main thread.
    static HttpClient& shared();

    quint64 get(const QUrl& url, Completion done, const HttpRequestOptions& options = {});
    quint64 postJSON(const QUrl& url, const QByteArray& json, Completion done,
        const HttpRequestOptions& options = {});
    // Forgets the request; its completion is not called.
    void cancel(quint64 id);
    int pendingCount() const { return static_cast<int>(m_pending.size()); }

    // Why an address cannot be fetched (not http or https, no host), or empty.
    static QString refusalForUrl(const QUrl& url);

private:
    struct Pending;
    quint64 start(const QUrl& url, const QByteArray* body, Completion done,
        const HttpRequestOptions& options);
    // Sends the request (again, after a redirect) to `url`.
    void send(quint64 id, const QUrl& url);
    void exchangeEnded(quint64 id, HttpExchange* exchange);
    void finish(quint64 id, HttpResponse response);
    void release(Pending* request);

    quint64 m_nextId = 1;
    QHash<quint64, Pending*> m_pending;
};

} // namespace platform::net
