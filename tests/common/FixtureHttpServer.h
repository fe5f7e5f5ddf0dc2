#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>

class QSslConfiguration;
class QTcpServer;
class QTcpSocket;

// One request as the fixture server received it.
struct FixtureRequest {
    QByteArray method; // "GET", "POST"
    QString path; // without the query
    QString query; // the part after '?', as sent
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
};

// What the fixture server answers to one request.
struct FixtureReply {
    enum Behaviour {
        Answer, // status, headers and the whole body
        Stall, // reads the request and never answers
        Cut, // promises the whole body, sends half of it and closes
        Close, // closes the connection without a word
    };
    Behaviour behaviour = Answer;
    int status = 200;
    QByteArray contentType = "application/json";
    QByteArray body;
    // Sent in chunks of this size instead of with a Content-Length (0: not chunked); a cut
    // chunked body stops in the middle of a chunk.
    int chunkSize = 0;
    // Whether the answer says "Connection: close"; the server closes after it either way,
    // unless `keepsOpen` leaves a whole answer's connection open.
    bool saysClose = true;
    bool keepsOpen = false;
    // Further header lines, each ending in "\r\n".
    QByteArray headers = {};

    static FixtureReply json(const QByteArray& body, int status = 200);
    static FixtureReply text(const QByteArray& body, int status = 200);
    static FixtureReply stall();
    static FixtureReply cut(const QByteArray& body);
};

// An HTTP/1.1 server on a free loopback port for the tests of network callers. It runs on
// the thread that made it (the tests' main thread), so it answers while the caller's event
// loop runs. Each path has a handler; unknown paths answer 404. Every request is recorded.
class FixtureHttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<FixtureReply(const FixtureRequest& request)>;

    FixtureHttpServer();
    // A server that speaks HTTPS with the given certificate and key.
    explicit FixtureHttpServer(const QSslConfiguration& tls);
    ~FixtureHttpServer() override;

    bool isListening() const;
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port><path>" ("https" for a TLS server)
    QUrl url(const QString& path) const;

    void route(const QString& path, Handler handler);
    void serve(const QString& path, const FixtureReply& reply);
    const QList<FixtureRequest>& requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }
    // Stops listening and drops open connections: the server is then "down".
    void stop();

private:
    void listen();
    void accept();
    void readFrom(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const FixtureRequest& request);

    QTcpServer* m_server = nullptr;
    quint16 m_port = 0;
    bool m_tls = false;
    QHash<QString, Handler> m_routes;
    QList<FixtureRequest> m_requests;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};
