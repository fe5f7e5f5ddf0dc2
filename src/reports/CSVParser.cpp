#include "reports/CSVParser.h"

#include "platform/Exception.h"
#include "reports/CSVErrors.h"
#include "reports/CSVParserDelegate.h"
#include "reports/TextCodec.h"

#include <QBuffer>
#include <QFile>
#include <QSysInfo>

namespace {

// Bytes asked of the stream at a time.
constexpr qint64 kChunkSize = 512;
// What looking at the next character gives at the end of the text.
constexpr int kEndOfText = -1;

const char kInvalidParameter[] = "Invalid parameter not satisfying: %1";
const char kDelimiterNewline[] = "The field delimiter may not be a newline";
const char kDelimiterQuote[] = "The field delimiter may not be a double quote";
const char kDelimiterOctothorpe[] = "The field delimiter may not be an octothorpe";
const char kUnsupportedEncoding[] = "Unsupported string encoding %1";
const char kUnknownEncodingLog[] = "unable to determine stream encoding; assuming MacOSRoman";
const char kUnexpectedDelimiter[]
    = "Unexpected delimiter. Expected '%1' (0x%2), but got '%3' (0x%4)";
const char kUnterminatedField[] = "The quoted field in line %1 has no closing double quote.";
const char kUndecodable[] = "Line %1 holds bytes that are not %2 text.";
const char kUnreadable[] = "Line %1 could not be read: %2";
const char kUnopenable[] = "The CSV text could not be opened: %1";

[[noreturn]] void raise(const QString& name, const QString& reason)
{
    throw platform::Exception(name, reason);
}

bool isNewline(int c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isWhitespace(int c)
{
    return c >= 0 && QChar::isSpace(char32_t(c)) && !isNewline(c);
}

QString hex(int c)
{
    return QString::number(c, 16).toUpper();
}

struct ByteOrderMark {
    QByteArrayView bytes;
    StringEncoding encoding;
};

// Longer marks first: the UTF-32 little-endian mark begins with the UTF-16 one.
const ByteOrderMark kMarks[] = {
    { QByteArrayView("\x00\x00\xFE\xFF", 4), StringEncoding::UTF32BigEndian },
    { QByteArrayView("\xFF\xFE\x00\x00", 4), StringEncoding::UTF32LittleEndian },
    { QByteArrayView("\x1B\x24\x29\x43", 4), StringEncoding::ISO2022KR },
    { QByteArrayView("\xFE\xFF", 2), StringEncoding::UTF16BigEndian },
    { QByteArrayView("\xFF\xFE", 2), StringEncoding::UTF16LittleEndian },
    { QByteArrayView("\xEF\xBB\xBF", 3), StringEncoding::UTF8 },
};

QVariantMap streamFacts(const QIODevice* stream)
{
    if (const auto* file = qobject_cast<const QFileDevice*>(stream))
        return { { platform::Error::FilePathKey, file->fileName() } };
    return {};
}

} // namespace

std::unique_ptr<CSVParser> CSVParser::initWithInputStream(
    std::unique_ptr<QIODevice> stream, StringEncoding* usedEncoding, char16_t delimiter)
{
    const QString inconsistency = platform::Exception::InternalInconsistency;
    if (!stream)
        raise(inconsistency, QString::fromLatin1(kInvalidParameter).arg(u"stream"));
    if (delimiter == 0)
        raise(inconsistency, QString::fromLatin1(kInvalidParameter).arg(u"delimiter"));
    if (isNewline(delimiter))
        raise(inconsistency, QString::fromLatin1(kDelimiterNewline));
    if (delimiter == u'"')
        raise(inconsistency, QString::fromLatin1(kDelimiterQuote));
    if (delimiter == u'#')
        raise(inconsistency, QString::fromLatin1(kDelimiterOctothorpe));

    std::unique_ptr<CSVParser> parser(new CSVParser(std::move(stream), delimiter));
    const bool encodingGiven = usedEncoding && *usedEncoding != StringEncoding::Unknown;
    if (encodingGiven)
        parser->m_streamEncoding = *usedEncoding;
    else
        parser->sniffEncoding();
    parser->m_codec = TextCodec::codecForEncoding(parser->m_streamEncoding);
    if (!parser->m_codec) {
        raise(platform::Exception::InvalidArgument,
            QString::fromLatin1(kUnsupportedEncoding).arg(quint64(parser->m_streamEncoding)));
    }
    if (usedEncoding && !encodingGiven)
        *usedEncoding = parser->m_streamEncoding;
    return parser;
}

std::unique_ptr<CSVParser> CSVParser::initWithCSVString(const QString& csv)
{
    // A string's own code units are the cheapest bytes to hand to the stream.
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(reinterpret_cast<const char*>(csv.utf16()), csv.size() * 2);
    StringEncoding encoding = QSysInfo::ByteOrder == QSysInfo::LittleEndian
        ? StringEncoding::UTF16LittleEndian
        : StringEncoding::UTF16BigEndian;
    return initWithInputStream(std::move(buffer), &encoding, u',');
}

std::unique_ptr<CSVParser> CSVParser::initWithContentsOfCSVFile(const QString& path)
{
    return initWithInputStream(std::make_unique<QFile>(path), nullptr, u',');
}

CSVParser::CSVParser(std::unique_ptr<QIODevice> stream, char16_t delimiter)
    : m_stream(std::move(stream))
    , m_delimiter(delimiter)
{
    if ((!m_stream->isOpen() && !m_stream->open(QIODevice::ReadOnly)) || !m_stream->isReadable()) {
        m_error
            = CSVErrors::formatError(QString::fromLatin1(kUnopenable).arg(m_stream->errorString()),
                streamFacts(m_stream.get()));
        m_streamDone = true;
        m_codecDone = true;
    }
}

CSVParser::~CSVParser()
{
    m_stream->close();
}

void CSVParser::setOptions(quint32 options)
{
    m_recognizesBackslashesAsEscapes = options & CSVParserOptionsRecognizesBackslashesAsEscapes;
    m_sanitizesFields = options & CSVParserOptionsSanitizesFields;
    m_recognizesComments = options & CSVParserOptionsRecognizesComments;
    m_stripsLeadingAndTrailingWhitespace
        = options & CSVParserOptionsStripsLeadingAndTrailingWhitespace;
}

void CSVParser::sniffEncoding()
{
    m_stringBuffer.resize(kChunkSize);
    qint64 filled = 0;
    while (!m_streamDone && filled < kChunkSize) {
        const qint64 count = m_stream->read(m_stringBuffer.data() + filled, kChunkSize - filled);
        if (count <= 0) {
            m_streamDone = true;
            if (count < 0)
                m_readFailure = m_stream->errorString();
        } else {
            filled += count;
        }
    }
    m_stringBuffer.resize(filled);
    m_totalBytesRead += quint64(filled);

    m_streamEncoding = StringEncoding::UTF8;
    if (m_stringBuffer.isEmpty())
        return;
    for (const ByteOrderMark& mark : kMarks) {
        if (m_stringBuffer.startsWith(mark.bytes)) {
            m_streamEncoding = mark.encoding;
            m_stringBuffer.remove(0, mark.bytes.size());
            return;
        }
    }
    if (!TextCodec::isUTF8Prefix(m_stringBuffer)) {
        qWarning("%s", kUnknownEncodingLog);
        m_streamEncoding = StringEncoding::MacOSRoman;
    }
}

void CSVParser::compact()
{
    // Reported text goes before more is added, so the text held stays near one chunk.
    if (m_consumed == 0)
        return;
    m_string.remove(0, m_consumed);
    m_nextIndex -= m_consumed;
    m_fieldStart -= m_consumed;
    m_segmentStart -= m_consumed;
    m_consumed = 0;
}

bool CSVParser::readMore()
{
    compact();
    const qsizetype before = m_string.size();
    if (!m_stringBuffer.isEmpty()) {
        if (!m_codec->decode(m_stringBuffer, m_string, false)) {
            m_undecodable = true;
            m_codecDone = true;
        }
        m_stringBuffer.clear();
    }
    while (m_string.size() == before && !m_codecDone) {
        char chunk[kChunkSize];
        qint64 count = 0;
        if (!m_streamDone) {
            count = m_stream->read(chunk, kChunkSize);
            if (count < 0) {
                m_readFailure = m_stream->errorString();
                count = 0;
            }
            if (count == 0)
                m_streamDone = true;
            m_totalBytesRead += quint64(count);
        }
        // Once the stream has ended, a character still waiting for bytes never completes.
        if (m_streamDone)
            m_codecDone = true;
        if (!m_codec->decode(QByteArrayView(chunk, count), m_string, m_streamDone)) {
            m_undecodable = true;
            m_codecDone = true;
        }
    }
    return m_string.size() > before;
}

int CSVParser::peekSlow()
{
    while (m_nextIndex >= m_string.size()) {
        if (!readMore()) {
            failAtEndOfText();
            return kEndOfText;
        }
    }
    return m_string.at(m_nextIndex).unicode();
}

quint64 CSVParser::lineOfNextText() const
{
    if (m_inRecord)
        return m_recordTextLine;
    bool lastCR = m_lastReportedCR;
    return m_lineBreaks + countLineBreaks(m_consumed, m_nextIndex, lastCR) + 1;
}

quint64 CSVParser::countLineBreaks(qsizetype from, qsizetype to, bool& lastCR) const
{
    quint64 breaks = 0;
    const QChar* data = m_string.constData();
    for (qsizetype i = from; i < to; ++i) {
        const char16_t c = data[i].unicode();
        if (!isNewline(c)) {
            lastCR = false;
            continue;
        }
        if (!(c == u'\n' && lastCR))
            ++breaks;
        lastCR = c == u'\r';
    }
    return breaks;
}

void CSVParser::consume()
{
    m_lineBreaks += countLineBreaks(m_consumed, m_nextIndex, m_lastReportedCR);
    m_consumed = m_nextIndex;
}

void CSVParser::failAtEndOfText()
{
    // The text ends early when the stream failed or held bytes that are no text: say so
    // rather than let the lines after that point go missing.
    if (!m_error.isNull())
        return;
    const quint64 line = lineOfNextText();
    if (!m_readFailure.isNull()) {
        fail(CSVErrors::formatErrorInLine(
            QString::fromLatin1(kUnreadable).arg(line).arg(m_readFailure), line,
            streamFacts(m_stream.get())));
    } else if (m_undecodable) {
        fail(CSVErrors::formatErrorInLine(
            QString::fromLatin1(kUndecodable).arg(line).arg(TextCodec::name(m_streamEncoding)),
            line, streamFacts(m_stream.get())));
    }
}

void CSVParser::fail(const platform::Error& error)
{
    if (m_error.isNull())
        m_error = error;
}

void CSVParser::parse()
{
    if (m_delegate)
        m_delegate->parserDidBeginDocument(this);
    m_currentRecord = 0;
    m_lineBreaks = 0;
    m_lastReportedCR = false;
    if (m_error.isNull()) {
        while (parseRecord()) { }
    }
    if (!m_delegate)
        return;
    if (!m_error.isNull() && !isCancelled())
        m_delegate->parserDidFailWithError(this, m_error);
    else
        m_delegate->parserDidEndDocument(this);
}

bool CSVParser::parseRecord()
{
    if (m_recognizesComments) {
        while (!isCancelled() && m_error.isNull() && peek() == u'#')
            parseComment();
        if (!m_error.isNull())
            return false;
    }
    if (isCancelled())
        return false;

    m_fieldIndex = 0;
    ++m_currentRecord;
    m_recordTextLine = m_lineBreaks + 1;
    m_inRecord = true;
    if (m_delegate)
        m_delegate->parserDidBeginLine(this, m_currentRecord);
    if (parseField()) {
        while (parseDelimiter() && parseField()) { }
    }
    const bool newline = parseNewlines();
    if (m_delegate && !isCancelled())
        m_delegate->parserDidEndLine(this, m_currentRecord);
    return newline && m_error.isNull() && !isCancelled();
}

void CSVParser::skipWhitespace()
{
    for (int c = peek(); isWhitespace(c) && c != m_delimiter; c = peek())
        ++m_nextIndex;
}

void CSVParser::appendSegment(qsizetype end)
{
    if (m_sanitizesFields)
        m_sanitizedField.append(QStringView(m_string).sliced(m_segmentStart, end - m_segmentStart));
}

bool CSVParser::parseField()
{
    if (isCancelled())
        return false;
    m_fieldStart = m_nextIndex;
    if (m_stripsLeadingAndTrailingWhitespace)
        skipWhitespace();
    const bool escaped = peek() == u'"';
    if (escaped) {
        if (!parseEscapedField())
            return false;
    } else {
        parseUnescapedField();
    }
    if (!m_error.isNull() || isCancelled())
        return false;

    QString value;
    if (m_sanitizesFields) {
        if (!escaped) {
            if (m_fieldHasEscapes)
                appendSegment(m_nextIndex);
            else
                m_sanitizedField = m_string.sliced(m_segmentStart, m_nextIndex - m_segmentStart);
            if (m_stripsLeadingAndTrailingWhitespace)
                m_sanitizedField = m_sanitizedField.trimmed();
        }
        value = std::move(m_sanitizedField);
        m_sanitizedField = QString();
    }
    if (m_stripsLeadingAndTrailingWhitespace)
        skipWhitespace();
    if (!m_error.isNull())
        return false;
    if (!m_sanitizesFields) {
        value = m_string.sliced(m_fieldStart, m_nextIndex - m_fieldStart);
        if (m_stripsLeadingAndTrailingWhitespace)
            value = value.trimmed();
    }

    if (m_delegate)
        m_delegate->parserDidReadField(this, value, m_fieldIndex);
    consume();
    ++m_fieldIndex;
    return true;
}

bool CSVParser::parseEscapedField()
{
    ++m_nextIndex; // the opening quote
    m_sanitizedField = QString();
    m_segmentStart = m_nextIndex;
    for (;;) {
        const QChar* data = m_string.constData();
        const qsizetype size = m_string.size();
        qsizetype i = m_nextIndex;
        const bool escapes = backslashEscapes();
        while (i < size && data[i] != u'"' && !(data[i] == u'\\' && escapes))
            ++i;
        m_nextIndex = i;
        if (i == size) {
            if (peek() == kEndOfText)
                break;
            continue;
        }
        appendSegment(i);
        ++m_nextIndex;
        const bool backslash = data[i] == u'\\';
        const int next = peek();
        if (backslash) {
            // The escaped character is kept, whatever it is.
            if (next == kEndOfText)
                break;
            m_segmentStart = m_nextIndex++;
        } else if (next == u'"') {
            // A doubled quote: the second one starts the next stretch of text.
            m_segmentStart = m_nextIndex++;
        } else {
            return true;
        }
        if (isCancelled())
            return false;
    }
    fail(CSVErrors::formatErrorInLine(
        QString::fromLatin1(kUnterminatedField).arg(m_recordTextLine), m_recordTextLine));
    return false;
}

void CSVParser::parseUnescapedField()
{
    m_segmentStart = m_nextIndex;
    m_fieldHasEscapes = false;
    for (;;) {
        const QChar* data = m_string.constData();
        const qsizetype size = m_string.size();
        qsizetype i = m_nextIndex;
        const bool escapes = backslashEscapes();
        for (; i < size; ++i) {
            const char16_t c = data[i].unicode();
            if (c == m_delimiter || c == u'"' || isNewline(c) || (c == u'\\' && escapes))
                break;
        }
        m_nextIndex = i;
        if (i == size) {
            if (peek() == kEndOfText)
                return;
            continue;
        }
        if (data[i] != u'\\' || !escapes)
            return; // a newline, a quote or the delimiter ends the field
        if (!m_fieldHasEscapes) {
            m_sanitizedField = QString();
            m_fieldHasEscapes = true;
        }
        appendSegment(i);
        ++m_nextIndex;
        if (peek() == kEndOfText) {
            m_segmentStart = m_nextIndex;
            return;
        }
        m_segmentStart = m_nextIndex++;
    }
}

bool CSVParser::parseDelimiter()
{
    const int c = peek();
    if (c == m_delimiter) {
        ++m_nextIndex;
        consume();
        return true;
    }
    if (c == kEndOfText || isNewline(c) || isCancelled())
        return false;
    // The text names no line: the line goes with it as a fact of its own.
    fail(CSVErrors::formatErrorInLine(
        QString::fromLatin1(kUnexpectedDelimiter)
            .arg(QChar(m_delimiter), hex(m_delimiter), QChar(c), hex(c)),
        m_recordTextLine));
    return false;
}

bool CSVParser::parseNewlines()
{
    if (isCancelled())
        return false;
    bool found = false;
    while (isNewline(peek())) {
        ++m_nextIndex;
        found = true;
        m_inRecord = false;
    }
    consume();
    return found;
}

void CSVParser::parseComment()
{
    ++m_nextIndex; // the "#"
    m_segmentStart = m_nextIndex;
    for (int c = peek(); c != kEndOfText && !isNewline(c); c = peek()) {
        ++m_nextIndex;
        if (c == u'\\' && backslashEscapes() && peek() != kEndOfText)
            ++m_nextIndex;
    }
    if (!m_error.isNull())
        return;
    if (m_delegate && !isCancelled()) {
        m_delegate->parserDidReadComment(
            this, m_string.sliced(m_segmentStart, m_nextIndex - m_segmentStart));
    }
    consume();
    parseNewlines();
}
