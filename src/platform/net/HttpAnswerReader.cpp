#include "platform/net/HttpAnswerReader.h"

#include <QByteArrayList>

namespace platform::net {

namespace {

// Lines longer than this, or status lines and headers together longer than the second, are
// not an answer this client reads.
constexpr qsizetype MaximumLineBytes = 16 * 1024;
constexpr qint64 MaximumHeaderBytes = 256 * 1024;
// Chunk sizes are read in hex; more digits than this would overflow.
constexpr qsizetype MaximumChunkSizeDigits = 15;

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

QString megabytes(qint64 bytes)
{
    return QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'g', 3);
}

} // namespace

HttpAnswerReader::HttpAnswerReader(qint64 maxBodyBytes)
    : m_maxBodyBytes(maxBodyBytes)
{
}

QString HttpAnswerReader::cutShortText()
{
    return QStringLiteral("The server's answer was cut short.");
}

QString HttpAnswerReader::tooLargeText(qint64 maxBodyBytes)
{
    return QStringLiteral("The server's answer is larger than %1 MB.").arg(megabytes(maxBodyBytes));
}

QByteArray HttpAnswerReader::header(QByteArrayView name) const
{
    for (auto it = m_headers.crbegin(); it != m_headers.crend(); ++it)
        if (it->first.compare(name, Qt::CaseInsensitive) == 0)
            return it->second;
    return {};
}

HttpAnswerReader::State HttpAnswerReader::fail(const QString& error)
{
    m_state = State::Failed;
    m_error = error;
    m_pending.clear();
    m_body.clear();
    return m_state;
}

HttpAnswerReader::State HttpAnswerReader::malformed(const QString& detail)
{
    return fail(QStringLiteral("The server's answer is not valid HTTP (%1).").arg(detail));
}

bool HttpAnswerReader::takeLine(QByteArray* line)
{
    const qsizetype end = m_pending.indexOf('\n');
    if (end < 0) {
        if (m_pending.size() > MaximumLineBytes)
            malformed(QStringLiteral("a line is too long"));
        return false;
    }
    if (end > MaximumLineBytes) {
        malformed(QStringLiteral("a line is too long"));
        return false;
    }
    *line = m_pending.left(end);
    if (line->endsWith('\r'))
        line->chop(1);
    m_pending.remove(0, end + 1);
    if (m_phase <= Phase::Headers || m_phase == Phase::Trailers) {
        m_headerBytes += end + 1;
        if (m_headerBytes > MaximumHeaderBytes) {
            malformed(QStringLiteral("its headers are too long"));
            return false;
        }
    }
    return true;
}

bool HttpAnswerReader::readStatusLine(const QByteArray& line)
{
    // "HTTP/1.1 200 OK": the version, a three-digit status and an optional reason.
    if (!line.startsWith("HTTP/1.") || line.size() < 12 || line[8] != ' ') {
        malformed(QStringLiteral("no status line"));
        return false;
    }
    const QByteArray code = line.mid(9, 3);
    bool numeric = code.size() == 3;
    for (char c : code)
        numeric = numeric && c >= '0' && c <= '9';
    if (!numeric || (line.size() > 12 && line[12] != ' ')) {
        malformed(QStringLiteral("no status code"));
        return false;
    }
    m_status = code.toInt();
    if (m_status < 100) {
        malformed(QStringLiteral("status %1").arg(m_status));
        return false;
    }
    m_reason = line.mid(13).trimmed();
    m_headers.clear();
    return true;
}

bool HttpAnswerReader::readHeaderLine(const QByteArray& line)
{
    if (line.startsWith(' ') || line.startsWith('\t')) {
        // An old-style continuation of the previous header's value.
        if (m_headers.isEmpty()) {
            malformed(QStringLiteral("a header continues nothing"));
            return false;
        }
        m_headers.last().second += ' ' + line.trimmed();
        return true;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || line.left(colon).contains(' ') || line.left(colon).contains('\t')) {
        malformed(QStringLiteral("a header without a name"));
        return false;
    }
    m_headers.append({ line.left(colon), line.mid(colon + 1).trimmed() });
    return true;
}

bool HttpAnswerReader::beginBody()
{
    if (m_status < 200 && m_status != 101) {
        // An interim answer: the final one follows on the same connection.
        m_phase = Phase::StatusLine;
        m_headers.clear();
        return true;
    }
    if (m_status == 101 || m_status == 204 || m_status == 304) {
        m_phase = Phase::Done;
        return true;
    }

    QByteArrayList codings;
    QByteArrayList lengths;
    for (const auto& [name, value] : std::as_const(m_headers)) {
        if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0)
            codings += value.split(',');
        else if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            lengths += value.split(',');
    }
    if (!codings.isEmpty()) {
        // The transfer coding frames the body, whatever length is also given; a body not
        // chunked last runs to the end of the connection.
        m_phase = codings.last().trimmed().compare("chunked", Qt::CaseInsensitive) == 0
            ? Phase::ChunkSize
            : Phase::BodyToEnd;
        return true;
    }
    if (lengths.isEmpty()) {
        m_phase = Phase::BodyToEnd;
        return true;
    }
    // Every length given must be the same number; two lengths would leave the end unknown.
    const QByteArray length = lengths.first().trimmed();
    bool valid = !length.isEmpty() && length.size() <= 18;
    for (char c : length)
        valid = valid && c >= '0' && c <= '9';
    for (const QByteArray& other : std::as_const(lengths))
        valid = valid && other.trimmed() == length;
    if (!valid) {
        malformed(QStringLiteral("its Content-Length is unclear"));
        return false;
    }
    m_remaining = length.toLongLong();
    if (m_remaining > m_maxBodyBytes) {
        fail(tooLargeText(m_maxBodyBytes));
        return false;
    }
    m_phase = m_remaining == 0 ? Phase::Done : Phase::LengthBody;
    return true;
}

bool HttpAnswerReader::appendBody(QByteArrayView bytes)
{
    if (m_body.size() + bytes.size() > m_maxBodyBytes) {
        fail(tooLargeText(m_maxBodyBytes));
        return false;
    }
    m_body.append(bytes);
    return true;
}

HttpAnswerReader::State HttpAnswerReader::feed(QByteArrayView bytes)
{
    if (m_state != State::Reading || bytes.isEmpty())
        return m_state;
    m_received += bytes.size();
    if (m_phase == Phase::Done)
        return m_state; // what follows a whole answer is not part of it
    m_pending.append(bytes);

    QByteArray line;
    while (m_state == State::Reading && m_phase != Phase::Done) {
        switch (m_phase) {
        case Phase::StatusLine:
            if (!takeLine(&line))
                return m_state;
            if (line.isEmpty() && m_headerBytes <= 2)
                break; // a stray line break before the answer is allowed
            if (!readStatusLine(line))
                return m_state;
            m_phase = Phase::Headers;
            break;
        case Phase::Headers:
            if (!takeLine(&line))
                return m_state;
            if (line.isEmpty()) {
                if (!beginBody())
                    return m_state;
            } else if (!readHeaderLine(line)) {
                return m_state;
            }
            break;
        case Phase::LengthBody:
        case Phase::ChunkData: {
            if (m_pending.isEmpty())
                return m_state;
            const qsizetype take
                = static_cast<qsizetype>(std::min<qint64>(m_remaining, m_pending.size()));
            if (!appendBody(QByteArrayView(m_pending).first(take)))
                return m_state;
            m_pending.remove(0, take);
            m_remaining -= take;
            if (m_remaining == 0)
                m_phase = m_phase == Phase::LengthBody ? Phase::Done : Phase::ChunkEnd;
            break;
        }
        case Phase::ChunkSize: {
            if (!takeLine(&line))
                return m_state;
            // The size in hex, perhaps followed by extensions after ';', which are ignored.
            const qsizetype semicolon = line.indexOf(';');
            const QByteArray digits = (semicolon < 0 ? line : line.left(semicolon)).trimmed();
            bool valid = !digits.isEmpty() && digits.size() <= MaximumChunkSizeDigits;
            for (char c : digits)
                valid = valid && isHexDigit(c);
            if (!valid)
                return malformed(QStringLiteral("a chunk without a size"));
            m_remaining = digits.toLongLong(nullptr, 16);
            if (m_remaining == 0) {
                m_phase = Phase::Trailers;
            } else if (m_body.size() + m_remaining > m_maxBodyBytes) {
                return fail(tooLargeText(m_maxBodyBytes));
            } else {
                m_phase = Phase::ChunkData;
            }
            break;
        }
        case Phase::ChunkEnd:
            if (!takeLine(&line))
                return m_state;
            if (!line.isEmpty())
                return malformed(QStringLiteral("a chunk longer than its size"));
            m_phase = Phase::ChunkSize;
            break;
        case Phase::Trailers:
            if (!takeLine(&line))
                return m_state;
            if (line.isEmpty())
                m_phase = Phase::Done;
            break;
        case Phase::BodyToEnd:
            if (!appendBody(m_pending))
                return m_state;
            m_pending.clear();
            return m_state;
        case Phase::Done:
            break;
        }
    }
    if (m_state == State::Reading && m_phase == Phase::Done) {
        m_pending.clear();
        m_state = State::Complete;
    }
    return m_state;
}

HttpAnswerReader::State HttpAnswerReader::endOfInput()
{
    if (m_state != State::Reading)
        return m_state;
    if (m_phase == Phase::BodyToEnd) {
        m_state = State::Complete;
        return m_state;
    }
    return fail(cutShortText());
}

} // namespace platform::net
