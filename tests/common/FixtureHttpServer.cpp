#include "common/FixtureHttpServer.h"

#include <QHostAddress>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

FixtureReply FixtureReply::json(const QByteArray& body, int status)
{
    FixtureReply reply;
    reply.status = status;
    reply.body = body;
    return reply;
}

FixtureReply FixtureReply::text(const QByteArray& body, int status)
{
    FixtureReply reply = json(body, status);
    reply.contentType = "text/plain; charset=utf-8";
    return reply;
}

FixtureReply FixtureReply::stall()
{
    FixtureReply reply;
    reply.behaviour = Stall;
    return reply;
}

FixtureReply FixtureReply::cut(const QByteArray& body)
{
    FixtureReply reply = json(body);
    reply.behaviour = Cut;
    return reply;
}

FixtureHttpServer::FixtureHttpServer()
    : m_server(new QTcpServer(this))
{
    listen();
}

FixtureHttpServer::FixtureHttpServer(const QSslConfiguration& tls)
    : m_tls(true)
{
    auto* server = new QSslServer(this);
    server->setSslConfiguration(tls);
    m_server = server;
    listen();
}

void FixtureHttpServer::listen()
{
    if (m_server->listen(QHostAddress::LocalHost, 0))
        m_port = m_server->serverPort();
    connect(m_server, &QTcpServer::pendingConnectionAvailable, this, &FixtureHttpServer::accept);
}

FixtureHttpServer::~FixtureHttpServer()
{
    stop();
}

bool FixtureHttpServer::isListening() const
{
    return m_server->isListening();
}

QUrl FixtureHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                    .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(m_port)
                    .arg(path));
}

void FixtureHttpServer::route(const QString& path, Handler handler)
{
    m_routes.insert(path, std::move(handler));
}

void FixtureHttpServer::serve(const QString& path, const FixtureReply& reply)
{
    route(path, [reply](const FixtureRequest&) { return reply; });
}

void FixtureHttpServer::stop()
{
    m_server->close();
    const auto sockets = m_buffers.keys();
    m_buffers.clear();
    for (QTcpSocket* socket : sockets) {
        disconnect(socket, nullptr, this, nullptr);
        socket->abort();
        socket->deleteLater();
    }
}

void FixtureHttpServer::accept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void FixtureHttpServer::readFrom(QTcpSocket* socket)
{
    if (!m_buffers.contains(socket))
        return;
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;

    FixtureRequest request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    const QString target = QString::fromUtf8(requestLine.value(1));
    const qsizetype question = target.indexOf(QLatin1Char('?'));
    request.path = question < 0 ? target : target.left(question);
    request.query = question < 0 ? QString() : target.mid(question + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(
                line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    const qsizetype bodyStart = headerEnd + 4;
    if (buffer.size() - bodyStart < length)
        return; // the rest of the body is still coming
    request.body = buffer.mid(bodyStart, length);
    buffer.clear();
    m_requests.append(request);
    answer(socket, request);
}

void FixtureHttpServer::answer(QTcpSocket* socket, const FixtureRequest& request)
{
    const auto route = m_routes.constFind(request.path);
    const FixtureReply reply = route != m_routes.constEnd()
        ? (*route)(request)
        : FixtureReply::text(QByteArrayLiteral("Not Found"), 404);
    switch (reply.behaviour) {
    case FixtureReply::Stall:
        return;
    case FixtureReply::Close:
        socket->disconnectFromHost();
        return;
    case FixtureReply::Answer:
    case FixtureReply::Cut:
        break;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' '
        + (reply.status < 400 ? "OK" : "Error") + "\r\n";
    head += "Content-Type: " + reply.contentType + "\r\n" + reply.headers;
    const bool cut = reply.behaviour == FixtureReply::Cut;
    QByteArray body;
    qsizetype cutAt = reply.body.size() / 2; // where a cut body stops
    if (reply.chunkSize > 0) {
        head += "Transfer-Encoding: chunked\r\n";
        const qsizetype middle = cutAt;
        for (qsizetype at = 0; at < reply.body.size(); at += reply.chunkSize) {
            const QByteArray chunk = reply.body.mid(at, reply.chunkSize);
            body += QByteArray::number(chunk.size(), 16) + "\r\n";
            if (middle >= at && middle < at + chunk.size())
                cutAt = body.size() + qMax<qsizetype>(1, (middle - at)); // inside this chunk's data
            body += chunk + "\r\n";
        }
        body += "0\r\n\r\n";
    } else {
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        body = reply.body;
    }
    if (reply.saysClose)
        head += "Connection: close\r\n";
    head += "\r\n";
    socket->write(head + (cut ? body.left(cutAt) : body));
    if (cut || !reply.keepsOpen)
        socket->disconnectFromHost();
}
