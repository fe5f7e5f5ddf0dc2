#include "reports/CSVWriter.h"

#include "platform/Date.h"
#include "platform/Exception.h"
#include "reports/CSVErrors.h"
#include "reports/TextCodec.h"
#include "utilities/text/KivoDateUtils.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

#include <cstring>

namespace {

// Bytes gathered before they go to the stream.
constexpr qsizetype kBufferSize = 64 * 1024;

const char kWriterInvalidParameter[] = "Invalid parameter not satisfying: %1";
const char kWriterUnsupportedEncoding[] = "Unsupported string encoding %1";
const char kUnwritable[] = "The CSV text could not be written: %1";
const char kUnencodable[] = "The CSV text holds characters that cannot be written in %1.";
const char kStreamClosed[] = "the stream is closed";

bool isNewline(char16_t c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// The text a value stands for in a field, the same whatever the locale.
QString fieldText(const QVariant& field)
{
    if (!field.isValid() || field.isNull())
        return QString(QLatin1String(""));
    switch (field.typeId()) {
    case QMetaType::QString:
        return field.toString();
    case QMetaType::Bool:
        return field.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(field.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDateTime:
        return KivoDateUtils::convertToString(field.toDateTime());
    default:
        break;
    }
    // A stored date: the moment it holds.
    if (field.metaType() == QMetaType::fromType<platform::Date>())
        return KivoDateUtils::convertToString(field.value<platform::Date>());
    if (field.canConvert<QString>())
        return field.toString();
    return QString(QLatin1String(""));
}

} // namespace

std::unique_ptr<CSVWriter> CSVWriter::initWithOutputStream(
    std::unique_ptr<QIODevice> stream, StringEncoding encoding, char16_t delimiter)
{
    if (!stream) {
        throw platform::Exception(platform::Exception::InternalInconsistency,
            QString::fromLatin1(kWriterInvalidParameter).arg(u"stream"));
    }
    auto codec = TextCodec::codecForEncoding(encoding);
    if (!codec) {
        throw platform::Exception(platform::Exception::InvalidArgument,
            QString::fromLatin1(kWriterUnsupportedEncoding).arg(quint64(encoding)));
    }
    return std::unique_ptr<CSVWriter>(
        new CSVWriter(std::move(stream), encoding, std::move(codec), delimiter));
}

std::unique_ptr<CSVWriter> CSVWriter::initForWritingToCSVFile(const QString& path)
{
    auto file = std::make_unique<QFile>(path);
    // The writer gathers its own large pieces; a second buffer would only copy them.
    file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    return initWithOutputStream(std::move(file), StringEncoding::UTF8, u',');
}

CSVWriter::CSVWriter(std::unique_ptr<QIODevice> stream, StringEncoding encoding,
    std::unique_ptr<TextCodec> codec, char16_t delimiter)
    : m_stream(std::move(stream))
    , m_streamEncoding(encoding)
    , m_codec(std::move(codec))
    , m_delimiterCharacter(delimiter)
{
    m_buffer.resize(kBufferSize);
    if (!m_stream->isOpen())
        m_stream->open(QIODevice::WriteOnly);
    if (!m_stream->isOpen() || !m_stream->isWritable())
        failWriting(m_stream->errorString());

    // An encoding that writes a mark writes it in front of every string it encodes on its
    // own: "a" then comes out longer than half of "aa".
    const QByteArray one = encoded(u"a");
    const QByteArray two = encoded(u"aa");
    if (two.size() != one.size() * 2)
        m_bom = one.left(one.size() * 2 - two.size());
    // Fields glued together would pass for fewer, longer ones: nothing is written then.
    if (!m_codec->encode(QStringView(&m_delimiterCharacter, 1), m_delimiter, m_bom)
        && m_error.isNull()) {
        m_error = CSVErrors::formatError(
            QString::fromLatin1(kUnencodable).arg(TextCodec::name(m_streamEncoding)));
    }
    m_newline = encoded(u"\n");
    m_quote = encoded(u"\"");
    m_commentMark = encoded(u"#");
    writeBytes(m_bom);
}

CSVWriter::~CSVWriter()
{
    closeStream();
}

QByteArray CSVWriter::encoded(QStringView text)
{
    QByteArray bytes;
    m_codec->encode(text, bytes, m_bom);
    return bytes;
}

void CSVWriter::failWriting(const QString& reason)
{
    if (!m_error.isNull())
        return;
    QVariantMap facts;
    if (const auto* file = qobject_cast<const QFileDevice*>(m_stream.get()))
        facts.insert(platform::Error::FilePathKey, file->fileName());
    m_error = CSVErrors::formatError(QString::fromLatin1(kUnwritable).arg(reason), facts);
}

char* CSVWriter::room(qsizetype bytes)
{
    if (m_used + bytes > m_buffer.size()) {
        flushBuffer();
        if (bytes > m_buffer.size())
            m_buffer.resize(bytes);
    }
    return m_buffer.data() + m_used;
}

void CSVWriter::writeBytes(const QByteArray& bytes)
{
    std::memcpy(room(bytes.size()), bytes.constData(), size_t(bytes.size()));
    m_used += bytes.size();
}

void CSVWriter::writeText(QStringView text)
{
    char* out = room(m_codec->maxEncodedSize(text.size()));
    if (char* end = m_codec->encode(text, out, m_bom)) {
        m_used = end - m_buffer.constData();
    } else if (m_error.isNull()) {
        m_error = CSVErrors::formatError(
            QString::fromLatin1(kUnencodable).arg(TextCodec::name(m_streamEncoding)));
    }
}

void CSVWriter::flushBuffer()
{
    if (m_used == 0)
        return;
    if (!m_stream)
        failWriting(QString::fromLatin1(kStreamClosed));
    if (m_error.isNull()) {
        const qint64 written = m_stream->write(m_buffer.constData(), m_used);
        if (written != m_used)
            failWriting(m_stream->errorString());
    }
    // After a failure nothing more reaches the stream, and nothing piles up here either.
    m_used = 0;
}

void CSVWriter::beginField()
{
    if (m_currentField > 0)
        writeBytes(m_delimiter);
    ++m_currentField;
}

void CSVWriter::writeFieldText(QStringView text)
{
    const bool first = m_currentField == 0;
    beginField();
    m_onlyFieldIsEmpty = first && text.isEmpty();

    bool quoted = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Quotes and line breaks lie at or below the double quote or from U+0085 on.
        if (u == m_delimiterCharacter)
            quoted = true;
        else if (u <= u'"' || u >= 0x85)
            quoted = u == u'"' || isNewline(u);
        if (quoted)
            break;
    }
    if (!quoted) {
        writeText(text);
    } else {
        writeBytes(m_quote);
        qsizetype start = 0;
        for (qsizetype quote = text.indexOf(u'"'); quote >= 0; quote = text.indexOf(u'"', start)) {
            writeText(text.sliced(start, quote + 1 - start));
            writeBytes(m_quote);
            start = quote + 1;
        }
        writeText(text.sliced(start));
        writeBytes(m_quote);
    }
}

void CSVWriter::writeField(const QVariant& field)
{
    writeFieldText(fieldText(field));
}

void CSVWriter::writeField(const QString& field)
{
    writeFieldText(field);
}

void CSVWriter::finishLine()
{
    // A line of one empty field would be a blank line, which readers skip: quoting the
    // field keeps the line.
    if (m_currentField == 1 && m_onlyFieldIsEmpty) {
        writeBytes(m_quote);
        writeBytes(m_quote);
    }
    writeBytes(m_newline);
    m_currentField = 0;
    m_onlyFieldIsEmpty = false;
}

void CSVWriter::writeLineOfFields(const QVariantList& fields)
{
    if (m_currentField > 0)
        finishLine();
    for (const QVariant& field : fields)
        writeField(field);
    finishLine();
}

void CSVWriter::writeLineOfFields(const QStringList& fields)
{
    if (m_currentField > 0)
        finishLine();
    for (const QString& field : fields)
        writeFieldText(field);
    finishLine();
}

void CSVWriter::writeComment(const QString& comment)
{
    if (m_currentField > 0)
        finishLine();
    const QStringView text(comment);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isNewline(text[i].unicode()))
            continue;
        writeBytes(m_commentMark);
        writeText(text.sliced(start, i - start));
        writeBytes(m_newline);
        start = i + 1;
    }
}

bool CSVWriter::closeStream(platform::Error* error)
{
    if (m_stream) {
        flushBuffer();
        auto* file = qobject_cast<QFileDevice*>(m_stream.get());
        if (file && m_error.isNull() && m_stream->isOpen() && !file->flush())
            failWriting(file->errorString());
        m_stream->close();
        if (file && m_error.isNull() && file->error() != QFileDevice::NoError)
            failWriting(file->errorString());
        m_stream.reset();
    } else {
        // Fields written after the stream was closed have nowhere to go.
        flushBuffer();
    }
    if (error)
        *error = m_error;
    return m_error.isNull();
}
