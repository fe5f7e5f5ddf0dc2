#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>

namespace platform::net {

// Reads one HTTP/1.1 answer from the bytes a connection delivers, framed as the protocol
// frames it: by its Content-Length, by its chunks, or by the end of the connection. An
// answer is complete only once its framing says so, so an answer cut short is known for one
// whatever the connection layer reports when the connection ends. Informational (1xx)
// answers before the final one are skipped.
class HttpAnswerReader {
public:
    enum class State {
        Reading, // more is expected
        Complete, // the whole answer is in
        Failed, // error() says why
    };

    explicit HttpAnswerReader(qint64 maxBodyBytes);

    State feed(QByteArrayView bytes);
    // The connection has ended: an answer framed by its end is then complete, any other
    // that is not yet complete was cut short.
    State endOfInput();

    State state() const { return m_state; }
    // Whether the final answer's status line and headers are in.
    bool headersComplete() const { return m_phase > Phase::Headers; }
    // Whether any byte of an answer arrived.
    bool anyReceived() const { return m_received > 0; }
    int status() const { return m_status; }
    const QByteArray& reasonPhrase() const { return m_reason; }
    // The last value of the named header (case-insensitive), or empty.
    QByteArray header(QByteArrayView name) const;
    const QByteArray& body() const { return m_body; }
    const QString& error() const { return m_error; }

    static QString cutShortText();
    static QString tooLargeText(qint64 maxBodyBytes);

private:
    enum class Phase {
        StatusLine,
        Headers,
        LengthBody,
        ChunkSize,
        ChunkData,
        ChunkEnd,
        Trailers,
        BodyToEnd,
        Done,
    };

    // Takes one line (without its line break) from the pending bytes; false while the line
    // is still incomplete.
    bool takeLine(QByteArray* line);
    bool readStatusLine(const QByteArray& line);
    bool readHeaderLine(const QByteArray& line);
    bool beginBody();
    bool appendBody(QByteArrayView bytes);
    State fail(const QString& error);
    State malformed(const QString& detail);

    qint64 m_maxBodyBytes;
    State m_state = State::Reading;
    Phase m_phase = Phase::StatusLine;
    QByteArray m_pending; // bytes not yet taken as a line or body
    qint64 m_received = 0;
    qint64 m_headerBytes = 0;
    int m_status = 0;
    QByteArray m_reason;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    qint64 m_remaining = 0; // of the body or of the current chunk
    QByteArray m_body;
    QString m_error;
};

} // namespace platform::net
