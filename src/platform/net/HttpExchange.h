#pragma once

#include "platform/net/HttpAnswerReader.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QTcpSocket;

namespace platform::net {

// One HTTP/1.1 request and its answer, on a connection of its own that closes after it.
// The answer is read by HttpAnswerReader, so it ends as the protocol frames it, never
// merely because the connection did. Ends with one `ended()` unless destroyed first.
class HttpExchange : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        int status = 0; // 0 when no answer arrived
        QByteArray reasonPhrase;
        QByteArray contentType;
        QByteArray location;
        QByteArray body; // whole, for an answer read to its end
        QString error; // why no whole answer came; empty when one did
    };

    // `method` "GET" or "POST"; a POST sends `body` as JSON.
    HttpExchange(const QUrl& url, const QByteArray& method, const QByteArray& body,
        qint64 maxBodyBytes, QObject* parent = nullptr);
    ~HttpExchange() override;

    void start();
    const Outcome& outcome() const { return m_outcome; }

signals:
    void ended();

private:
    QByteArray requestBytes() const;
    void sendRequest();
    void readAvailable();
    void connectionEnded(const QString& socketError);
    void end(const QString& error);

    QUrl m_url;
    QByteArray m_method;
    QByteArray m_body;
    HttpAnswerReader m_reader;
    QPointer<QTcpSocket> m_socket;
    bool m_ended = false;
    Outcome m_outcome;
};

} // namespace platform::net
