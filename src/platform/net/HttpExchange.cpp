#include "platform/net/HttpExchange.h"

#include <QCoreApplication>
#include <QSslSocket>
#include <QTcpSocket>

namespace platform::net {

namespace {

bool isSecure(const QUrl& url)
{
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

quint16 portOf(const QUrl& url)
{
    return static_cast<quint16>(url.port(isSecure(url) ? 443 : 80));
}

} // namespace

HttpExchange::HttpExchange(const QUrl& url, const QByteArray& method, const QByteArray& body,
    qint64 maxBodyBytes, QObject* parent)
    : QObject(parent)
    , m_url(url)
    , m_method(method)
    , m_body(body)
    , m_reader(maxBodyBytes)
{
}

HttpExchange::~HttpExchange()
{
    if (m_socket) {
        disconnect(m_socket, nullptr, this, nullptr);
        m_socket->abort();
        delete m_socket;
    }
}

QByteArray HttpExchange::requestBytes() const
{
    QByteArray target = m_url.path(QUrl::FullyEncoded).toUtf8();
    if (target.isEmpty())
        target = "/";
    if (m_url.hasQuery())
        target += '?' + m_url.query(QUrl::FullyEncoded).toUtf8();

    QByteArray host = m_url.host(QUrl::FullyEncoded).toUtf8();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (m_url.port() != -1 && m_url.port() != (isSecure(m_url) ? 443 : 80))
        host += ':' + QByteArray::number(m_url.port());

    QByteArray request = m_method + ' ' + target + " HTTP/1.1\r\n";
    request += "Host: " + host + "\r\n";
    const QString application = QCoreApplication::applicationName();
    if (!application.isEmpty())
        request += "User-Agent: " + application.toUtf8() + '/'
            + QCoreApplication::applicationVersion().toUtf8() + "\r\n";
    request += "Accept: application/json\r\n";
    request += "Connection: close\r\n";
    if (m_method == "POST") {
        request += "Content-Type: application/json\r\n";
        request += "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n";
    }
    request += "\r\n";
    if (m_method == "POST")
        request += m_body;
    return request;
}

void HttpExchange::start()
{
    const QString host = m_url.host(QUrl::FullyEncoded);
    if (isSecure(m_url)) {
        if (!QSslSocket::supportsSsl()) {
            end(QStringLiteral(
                "The server could not be reached: this system cannot make secure connections."));
            return;
        }
        auto* socket = new QSslSocket(this);
        m_socket = socket;
        connect(socket, &QSslSocket::encrypted, this, &HttpExchange::sendRequest);
        socket->connectToHostEncrypted(host, portOf(m_url));
    } else {
        m_socket = new QTcpSocket(this);
        connect(m_socket, &QTcpSocket::connected, this, &HttpExchange::sendRequest);
        m_socket->connectToHost(host, portOf(m_url));
    }
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpExchange::readAvailable);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] { connectionEnded({}); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError code) {
        // A connection the server closed is its end; any other failure says why.
        connectionEnded(
            code == QAbstractSocket::RemoteHostClosedError ? QString() : m_socket->errorString());
    });
}

void HttpExchange::sendRequest()
{
    if (m_socket && !m_ended)
        m_socket->write(requestBytes());
}

void HttpExchange::readAvailable()
{
    if (m_ended || !m_socket)
        return;
    const HttpAnswerReader::State state = m_reader.feed(m_socket->readAll());
    if (state == HttpAnswerReader::State::Failed) {
        end(m_reader.error());
    } else if (state == HttpAnswerReader::State::Complete) {
        end({});
    } else if (m_reader.headersComplete()
        && (m_reader.status() < 200 || m_reader.status() >= 300)) {
        // A redirect or a refusal: what it says is in its status and headers.
        end({});
    }
}

void HttpExchange::connectionEnded(const QString& socketError)
{
    if (m_ended)
        return;
    // What arrived before the end is read first: it may complete the answer.
    readAvailable();
    if (m_ended)
        return;
    if (!m_reader.anyReceived()) {
        end(socketError.isEmpty()
                ? QStringLiteral("The server closed the connection without answering.")
                : QStringLiteral("The server could not be reached: %1").arg(socketError));
        return;
    }
    m_reader.endOfInput();
    readAvailable();
    if (!m_ended)
        end(m_reader.error());
}

void HttpExchange::end(const QString& error)
{
    if (m_ended)
        return;
    m_ended = true;
    m_outcome.error = error;
    if (m_reader.headersComplete()) {
        m_outcome.status = m_reader.status();
        m_outcome.reasonPhrase = m_reader.reasonPhrase();
        m_outcome.contentType = m_reader.header("Content-Type");
        m_outcome.location = m_reader.header("Location");
    }
    if (error.isEmpty() && m_reader.state() == HttpAnswerReader::State::Complete)
        m_outcome.body = m_reader.body();
    if (m_socket) {
        disconnect(m_socket, nullptr, this, nullptr);
        m_socket->abort();
        m_socket->deleteLater();
    }
    emit ended();
}

} // namespace platform::net
