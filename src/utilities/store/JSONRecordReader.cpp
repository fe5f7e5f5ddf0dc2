#include "utilities/store/JSONRecordReader.h"

#include "platform/coredata/EntityDescription.h"
#include "utilities/store/KivoLibObject.h"

#include <QStringDecoder>
#include <QThread>

#include <algorithm>
#include <bit>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using platform::coredata::AttributeType;
using platform::coredata::EntityDescription;
using Failure = JSONRecordReader::Failure;

// Nested values only appear in members that are ignored; this bounds the recursion.
constexpr int MaxDepth = 256;
// Files from this size on are read in parts side by side.
constexpr qsizetype FewestBytesForParts = 4 * 1024 * 1024;
constexpr int MostParts = 4;
// The most parts the bytes left at the end of a file read while unpacked are read in.
constexpr int PartsAtTheEnd = 4;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Writes the code's UTF-8 form at `out` and moves past it.
void appendUtf8(char*& out, char32_t code)
{
    if (code < 0x80) {
        *out++ = char(code);
    } else if (code < 0x800) {
        *out++ = char(0xc0 | (code >> 6));
        *out++ = char(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
        *out++ = char(0xe0 | (code >> 12));
        *out++ = char(0x80 | ((code >> 6) & 0x3f));
        *out++ = char(0x80 | (code & 0x3f));
    } else {
        *out++ = char(0xf0 | (code >> 18));
        *out++ = char(0x80 | ((code >> 12) & 0x3f));
        *out++ = char(0x80 | ((code >> 6) & 0x3f));
        *out++ = char(0x80 | (code & 0x3f));
    }
}

// The first byte from `p` on that ends or escapes a string, is a control character or is
// part of a multi-byte character; `end` when there is none. Strings are mostly plain text,
// which this passes sixteen bytes at a time where the processor can.
const char* skipPlain(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i space = _mm_set1_epi8(0x20);
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // Compared as signed: bytes from 0x80 on are below a space, as control characters are.
        const __m128i special = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, backslash)),
            _mm_cmplt_epi8(bytes, space));
        if (const int mask = _mm_movemask_epi8(special))
            return p + std::countr_zero(unsigned(mask));
    }
#endif
    for (; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80)
            break;
    }
    return p;
}

class Parser {
public:
    // Reads the bytes from `begin` (the file's start) to `end`.
    Parser(const char* begin, const char* end, const EntityDescription& entity,
        JSONRecordReader::Texts texts = JSONRecordReader::Texts::Strings)
        : m_begin(begin)
        , m_p(begin)
        , m_end(end)
        , m_entity(entity)
        , m_nameKey(KivoLib::ManageObjectNameKey.toUtf8())
        , m_textsAsBytes(texts == JSONRecordReader::Texts::AsBytes)
    {
        for (const auto& attribute : entity.attributes())
            m_keys.append(attribute.name.toUtf8());
    }

    // Reads the records of one part of the file, from `from` to the end given: the first
    // part from the file's start, any other from the first byte of a record, where the
    // part before it ends. A part other than the last ends between two records, at the
    // start of the next: false when it does not, or when the part is refused.
    bool readPart(std::vector<QList<QVariant>>& records, const char* from, bool last)
    {
        m_p = from;
        if (from == m_begin) {
            skipSpace();
            if (m_p >= m_end || *m_p != '[')
                return false;
            ++m_p;
        }
        for (qsizetype number = 1;; ++number) {
            skipSpace();
            if (m_p >= m_end || *m_p != '{')
                return false;
            QList<QVariant> values;
            if (!readRecord(values, number))
                return false;
            records.push_back(std::move(values));
            skipSpace();
            if (m_p >= m_end)
                return false;
            if (*m_p == ']') {
                ++m_p;
                return last && atEnd();
            }
            if (*m_p != ',')
                return false;
            ++m_p;
            skipSpace();
            if (!last && m_p == m_end)
                return true;
        }
    }

    std::optional<std::vector<QList<QVariant>>> run(Failure* failure)
    {
        std::vector<QList<QVariant>> records;
        const bool ok = readAll(records);
        if (!ok && m_failure.kind == Failure::Kind::Records) {
            // Text that is not JSON is told as such, wherever the fault lies.
            const Failure refused = m_failure;
            m_p = m_begin;
            QVariant ignored;
            bool nested = false;
            if (readValue(ignored, nested, 0) && atEnd())
                m_failure = refused;
        }
        if (!ok) {
            if (failure)
                *failure = m_failure;
            return std::nullopt;
        }
        return records;
    }

private:
    bool syntax(const char* what, const char* at = nullptr)
    {
        m_failure = {
            Failure::Kind::Syntax,
            QStringLiteral("%1 at byte %2").arg(QLatin1String(what)).arg((at ? at : m_p) - m_begin)
        };
        return false;
    }

    bool refuse(const QString& detail)
    {
        m_failure = { Failure::Kind::Records, detail };
        return false;
    }

    void skipSpace()
    {
        while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }

    bool readAll(std::vector<QList<QVariant>>& result)
    {
        skipSpace();
        if (m_p >= m_end)
            return syntax("no content");
        if (*m_p != '[')
            return refuse(QStringLiteral("the file holds no list"));
        ++m_p;
        skipSpace();
        if (m_p < m_end && *m_p == ']') {
            ++m_p;
            return atEnd();
        }
        for (qsizetype number = 1;; ++number) {
            skipSpace();
            if (m_p >= m_end)
                return syntax("unexpected end");
            if (*m_p != '{')
                return refuse(QStringLiteral("record %1 is no object").arg(number));
            QList<QVariant> values;
            if (!readRecord(values, number))
                return false;
            result.push_back(std::move(values));
            skipSpace();
            if (m_p >= m_end)
                return syntax("unexpected end");
            if (*m_p == ']') {
                ++m_p;
                return atEnd();
            }
            if (*m_p != ',')
                return syntax("expected , or ]");
            ++m_p;
        }
    }

    bool atEnd()
    {
        skipSpace();
        return m_p == m_end || syntax("garbage after the content");
    }

    bool readRecord(QList<QVariant>& values, qsizetype number)
    {
        const auto& attributes = m_entity.attributes();
        values.resize(attributes.size());
        ++m_p; // '{'
        bool named = false;
        int wrongKind = -1;
        skipSpace();
        if (m_p < m_end && *m_p == '}') {
            ++m_p;
        } else {
            for (;;) {
                skipSpace();
                if (m_p >= m_end || *m_p != '"')
                    return syntax("expected a member name");
                int index = -1;
                bool isName = false;
                if (!readKey(index, isName))
                    return false;
                skipSpace();
                if (m_p >= m_end || *m_p != ':')
                    return syntax("expected :");
                ++m_p;
                QVariant value;
                bool nested = false;
                skipSpace();
                if (index >= 0 && m_textsAsBytes && m_p < m_end && *m_p == '"'
                    && attributes[index].type == AttributeType::String) {
                    // Text as it comes: in its UTF-8 bytes.
                    QString text;
                    QByteArray bytes;
                    if (!readString(text, &bytes))
                        return false;
                    values[index]
                        = bytes.isNull() ? QVariant(std::move(text)) : QVariant(std::move(bytes));
                } else if (!readValue(value, nested, 1)) {
                    return false;
                } else if (isName) {
                    named = !nested && value.metaType().id() == QMetaType::QString
                        && value.toString() == m_entity.name();
                } else if (index >= 0) {
                    const auto coerced = nested ? std::nullopt : attributes[index].coerce(value);
                    if (coerced)
                        values[index] = *coerced;
                    else if (wrongKind < 0)
                        wrongKind = index;
                }
                skipSpace();
                if (m_p >= m_end)
                    return syntax("unexpected end");
                if (*m_p == '}') {
                    ++m_p;
                    break;
                }
                if (*m_p != ',')
                    return syntax("expected , or }");
                ++m_p;
            }
        }
        // A record of another kind is told as such before its values are judged.
        if (!named)
            return refuse(QStringLiteral("record %1 is no %2").arg(number).arg(m_entity.name()));
        if (wrongKind >= 0) {
            return refuse(QStringLiteral("record %1 has a value of the wrong kind for \"%2\"")
                              .arg(number)
                              .arg(attributes[wrongKind].name));
        }
        return true;
    }

    // The span of a string's body; m_p ends after its closing quote.
    bool scanString(const char*& start, const char*& stop, bool& escaped, bool& ascii)
    {
        const char* opening = m_p;
        start = ++m_p;
        escaped = false;
        unsigned char seen = 0;
        for (;;) {
            m_p = skipPlain(m_p, m_end);
            if (m_p >= m_end)
                return syntax("unterminated string", opening);
            const auto c = static_cast<unsigned char>(*m_p);
            if (c == '"')
                break;
            if (c == '\\') {
                escaped = true;
                m_p += 2;
                continue;
            }
            if (c < 0x20)
                return syntax("control character in string");
            seen |= c;
            ++m_p;
        }
        stop = m_p++;
        ascii = (seen & 0x80) == 0;
        return true;
    }

    bool toText(const char* data, qsizetype size, bool ascii, QString& out, const char* at)
    {
        if (ascii) {
            out = QString::fromLatin1(data, size);
            return true;
        }
        m_decoder.resetState();
        out = m_decoder.decode(QByteArrayView(data, size));
        return !m_decoder.hasError() || syntax("invalid UTF-8 in string", at);
    }

    // When `bytes` is given, the text goes there in UTF-8 (checked) and `out` stays as it
    // was; one holding a lone surrogate goes to `out` all the same.
    bool readString(QString& out, QByteArray* bytes = nullptr)
    {
        const char *start = nullptr, *stop = nullptr;
        bool escaped = false, ascii = true;
        if (!scanString(start, stop, escaped, ascii))
            return false;
        if (!escaped)
            return toTextOrBytes(start, stop - start, ascii, out, start, bytes);
        // Unescaped into UTF-8 first, then made text once. An escape is never shorter than
        // what it stands for, so the body's size is room enough.
        m_buffer.resize(stop - start);
        char* const begin = m_buffer.data();
        char* put = begin;
        bool allAscii = ascii;
        for (const char* q = start; q < stop;) {
            const char* run = q;
            q = static_cast<const char*>(std::memchr(q, '\\', size_t(stop - q)));
            if (!q)
                q = stop;
            std::memcpy(put, run, size_t(q - run));
            put += q - run;
            if (q >= stop)
                break;
            const char* escape = q;
            q += 2;
            switch (escape[1]) {
            case '"':
            case '\\':
            case '/':
                *put++ = escape[1];
                break;
            case 'b':
                *put++ = '\b';
                break;
            case 'f':
                *put++ = '\f';
                break;
            case 'n':
                *put++ = '\n';
                break;
            case 'r':
                *put++ = '\r';
                break;
            case 't':
                *put++ = '\t';
                break;
            case 'u': {
                char32_t code = 0;
                if (!readHex(q, stop, code))
                    return syntax("invalid \\u escape", escape);
                if (QChar::isHighSurrogate(code) && stop - q >= 6 && q[0] == '\\' && q[1] == 'u') {
                    const char* low = q + 2;
                    char32_t second = 0;
                    if (readHex(low, stop, second) && QChar::isLowSurrogate(second)) {
                        code = QChar::surrogateToUcs4(char16_t(code), char16_t(second));
                        q = low;
                    }
                }
                // Text that is no Unicode (a lone surrogate) keeps its code unit as is.
                if (QChar::isSurrogate(code))
                    return readStringByUnits(start, stop, out);
                appendUtf8(put, code);
                allAscii = allAscii && code < 0x80;
                break;
            }
            default:
                return syntax("invalid escape", escape);
            }
        }
        return toTextOrBytes(begin, put - begin, allAscii, out, start, bytes);
    }

    bool toTextOrBytes(const char* data, qsizetype size, bool ascii, QString& out, const char* at,
        QByteArray* bytes)
    {
        if (!bytes)
            return toText(data, size, ascii, out, at);
        if (!ascii && !QByteArrayView(data, size).isValidUtf8())
            return syntax("invalid UTF-8 in string", at);
        *bytes = QByteArray(data, size);
        return true;
    }

    static bool readHex(const char*& q, const char* stop, char32_t& code)
    {
        if (stop - q < 4)
            return false;
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexValue(q[i]);
            if (digit < 0)
                return false;
            code = code * 16 + char32_t(digit);
        }
        q += 4;
        return true;
    }

    // The slow road for strings that hold lone surrogates: built unit by unit.
    bool readStringByUnits(const char* start, const char* stop, QString& out)
    {
        out.clear();
        for (const char* q = start; q < stop;) {
            const char* run = q;
            while (q < stop && *q != '\\')
                ++q;
            QString part;
            if (!toText(run, q - run, false, part, run))
                return false;
            out += part;
            if (q >= stop)
                break;
            const char* escape = q;
            q += 2;
            char32_t code = 0;
            switch (escape[1]) {
            case 'u':
                if (!readHex(q, stop, code))
                    return syntax("invalid \\u escape", escape);
                out += QChar(char16_t(code));
                break;
            case 'b':
                out += u'\b';
                break;
            case 'f':
                out += u'\f';
                break;
            case 'n':
                out += u'\n';
                break;
            case 'r':
                out += u'\r';
                break;
            case 't':
                out += u'\t';
                break;
            case '"':
            case '\\':
            case '/':
                out += QLatin1Char(escape[1]);
                break;
            default:
                return syntax("invalid escape", escape);
            }
        }
        return true;
    }

    bool readKey(int& index, bool& isName)
    {
        const char *start = nullptr, *stop = nullptr;
        bool escaped = false, ascii = true;
        if (!scanString(start, stop, escaped, ascii))
            return false;
        const QByteArrayView raw(start, stop - start);
        if (escaped) {
            // Rare: compared as text.
            m_p = start - 1;
            QString key;
            if (!readString(key))
                return false;
            isName = key == KivoLib::ManageObjectNameKey;
            index = m_entity.indexOfAttribute(key);
            return true;
        }
        isName = raw == m_nameKey;
        index = -1;
        if (!isName) {
            for (qsizetype i = 0; i < m_keys.size(); ++i) {
                if (raw == m_keys[i]) {
                    index = int(i);
                    break;
                }
            }
        }
        return true;
    }

    bool readLiteral(const char* word, const QVariant& value, QVariant& out)
    {
        const auto length = qsizetype(std::strlen(word));
        if (m_end - m_p < length || std::memcmp(m_p, word, size_t(length)) != 0)
            return syntax("unexpected character");
        m_p += length;
        out = value;
        return true;
    }

    bool readNumber(QVariant& out)
    {
        const char* start = m_p;
        if (*m_p == '-')
            ++m_p;
        if (m_p >= m_end || !isDigit(*m_p))
            return syntax("invalid number", start);
        if (*m_p == '0') {
            ++m_p;
        } else {
            while (m_p < m_end && isDigit(*m_p))
                ++m_p;
        }
        bool whole = true;
        if (m_p < m_end && *m_p == '.') {
            whole = false;
            ++m_p;
            if (m_p >= m_end || !isDigit(*m_p))
                return syntax("invalid number", start);
            while (m_p < m_end && isDigit(*m_p))
                ++m_p;
        }
        if (m_p < m_end && (*m_p == 'e' || *m_p == 'E')) {
            whole = false;
            ++m_p;
            if (m_p < m_end && (*m_p == '+' || *m_p == '-'))
                ++m_p;
            if (m_p >= m_end || !isDigit(*m_p))
                return syntax("invalid number", start);
            while (m_p < m_end && isDigit(*m_p))
                ++m_p;
        }
        if (whole) {
            qlonglong integer = 0;
            if (std::from_chars(start, m_p, integer).ec == std::errc()) {
                out = QVariant(integer);
                return true;
            }
        }
        double number = 0;
        if (std::from_chars(start, m_p, number).ec != std::errc())
            return syntax("number out of range", start);
        out = QVariant(number);
        return true;
    }

    // A value: scalars into `out`; an object or array is checked and skipped (`nested`).
    bool readValue(QVariant& out, bool& nested, int depth)
    {
        skipSpace();
        if (m_p >= m_end)
            return syntax("unexpected end");
        switch (*m_p) {
        case '"': {
            QString text;
            if (!readString(text))
                return false;
            out = QVariant(std::move(text));
            return true;
        }
        case '{':
        case '[':
            nested = true;
            return skipNested(depth);
        case 't':
            return readLiteral("true", QVariant(true), out);
        case 'f':
            return readLiteral("false", QVariant(false), out);
        case 'n':
            return readLiteral("null", QVariant(), out);
        default:
            if (*m_p == '-' || isDigit(*m_p))
                return readNumber(out);
            return syntax("unexpected character");
        }
    }

    bool skipNested(int depth)
    {
        if (depth > MaxDepth)
            return syntax("too deeply nested");
        const bool object = *m_p == '{';
        const char close = object ? '}' : ']';
        ++m_p;
        skipSpace();
        if (m_p < m_end && *m_p == close) {
            ++m_p;
            return true;
        }
        for (;;) {
            skipSpace();
            if (object) {
                if (m_p >= m_end || *m_p != '"')
                    return syntax("expected a member name");
                QString key;
                if (!readString(key))
                    return false;
                skipSpace();
                if (m_p >= m_end || *m_p != ':')
                    return syntax("expected :");
                ++m_p;
            }
            QVariant ignored;
            bool nested = false;
            if (!readValue(ignored, nested, depth + 1))
                return false;
            skipSpace();
            if (m_p >= m_end)
                return syntax("unexpected end");
            if (*m_p == close) {
                ++m_p;
                return true;
            }
            if (*m_p != ',')
                return syntax(object ? "expected , or }" : "expected , or ]");
            ++m_p;
        }
    }

    const char* m_begin;
    const char* m_p;
    const char* m_end;
    const EntityDescription& m_entity;
    QByteArray m_nameKey;
    QList<QByteArray> m_keys;
    QByteArray m_buffer;
    QStringDecoder m_decoder { QStringDecoder::Utf8 };
    const bool m_textsAsBytes;
    Failure m_failure { Failure::Kind::Syntax, {} };
};

// The first byte at or after `from` that may start a record in the middle of the list: a
// '{' after a ',' and any whitespace. Only a guess (it may lie in a string or a nested
// value): the part before it tells whether it was right.
const char* recordStart(const char* begin, const char* from, const char* end)
{
    for (const char* p = from; p < end; ++p) {
        p = static_cast<const char*>(std::memchr(p, '{', size_t(end - p)));
        if (!p)
            return end;
        const char* before = p - 1;
        while (before > begin
            && (*before == ' ' || *before == '\n' || *before == '\r' || *before == '\t'))
            --before;
        if (before > begin && *before == ',')
            return p;
    }
    return end;
}

} // namespace

// Each part but the first starts at a guessed record start; the part before it must end
// exactly there, between two records, which makes the parts' records, end to end, the
// same as one reading from the start gives.
struct JSONRecordReader::InParts::Part {
    const char* from;
    const char* until;
    std::vector<QList<QVariant>> records;
    bool ok = false;
    bool done = false;
    std::thread thread;
};

struct JSONRecordReader::InParts::Sync {
    std::mutex mutex;
    std::condition_variable changed;
};

JSONRecordReader::InParts::InParts(
    const char* data, qsizetype size, const EntityDescription& entity, int parts, Texts texts)
    : m_data(data)
    , m_size(size)
    , m_entity(entity)
    , m_texts(texts)
    , m_partSize(std::max<qsizetype>(size / std::max(parts, 1), FewestBytesForParts / 2))
    , m_sync(std::make_unique<Sync>())
{
}

JSONRecordReader::InParts::~InParts()
{
    // Only the filling thread adds parts, and it is done with this by now.
    for (auto& part : m_parts) {
        if (part->thread.joinable())
            part->thread.join();
    }
}

void JSONRecordReader::InParts::start(const char* from, const char* until, bool last)
{
    auto part = std::make_unique<Part>();
    part->from = from;
    part->until = until;
    Part* started = part.get();
    {
        std::lock_guard lock(m_sync->mutex);
        m_parts.push_back(std::move(part));
    }
    const auto read = [this, started, last] {
        std::vector<QList<QVariant>> records;
        Parser parser(m_data, last ? m_data + m_size : started->until, m_entity, m_texts);
        const bool ok = parser.readPart(records, started->from, last);
        std::lock_guard lock(m_sync->mutex);
        started->records = std::move(records);
        started->ok = ok;
        started->done = true;
        m_sync->changed.notify_all();
    };
    try {
        started->thread = std::thread(read);
    } catch (const std::system_error&) {
        // No thread to spare: read here.
        read();
    }
}

void JSONRecordReader::InParts::written(qsizetype written)
{
    const char* end = m_data + std::min(written, m_size);
    const char* last = m_parts.empty() ? m_data : m_parts.back()->until;
    // A part reads only bytes already in place; its end is the start of the next one.
    while (m_data + m_size - last > m_partSize && end - last > m_partSize) {
        const char* until = recordStart(m_data, last + m_partSize, end);
        if (until >= end)
            return;
        start(last, until, false);
        last = until;
    }
}

void JSONRecordReader::InParts::end(bool complete)
{
    if (complete) {
        // The bytes that came after the last part began are all in place now: they are
        // shared out too, so that what is left to read after the unpacking is a small part.
        if (!m_parts.empty()) {
            const qsizetype left = m_data + m_size - m_parts.back()->until;
            m_partSize = std::max<qsizetype>(left / PartsAtTheEnd, FewestBytesForParts / 8);
        }
        written(m_size);
        start(m_parts.empty() ? m_data : m_parts.back()->until, m_data + m_size, true);
    }
    std::unique_lock lock(m_sync->mutex);
    m_ended = true;
    m_complete = complete;
    m_sync->changed.notify_all();
    // The buffer of a file that was not filled may go once this returns: the parts
    // reading it end first.
    if (!complete) {
        m_sync->changed.wait(lock, [this] {
            return std::all_of(
                m_parts.begin(), m_parts.end(), [](const auto& part) { return part->done; });
        });
    }
}

JSONRecordReader::InParts::Next JSONRecordReader::InParts::next(
    std::vector<QList<QVariant>>& records)
{
    std::unique_lock lock(m_sync->mutex);
    m_sync->changed.wait(lock, [this] {
        return (m_taken < m_parts.size() && m_parts[m_taken]->done)
            || (m_ended && m_taken == m_parts.size());
    });
    if (m_taken == m_parts.size())
        return m_complete ? Next::End : Next::Unfilled;
    Part& part = *m_parts[m_taken];
    if (!part.ok)
        return Next::Refused;
    records = std::move(part.records);
    part.records = {};
    ++m_taken;
    return Next::Records;
}

qsizetype JSONRecordReader::InParts::given() const
{
    std::lock_guard lock(m_sync->mutex);
    return m_taken == 0 ? 0 : m_parts[m_taken - 1]->until - m_data;
}

std::optional<std::vector<QList<QVariant>>> JSONRecordReader::InParts::readRest(Failure* failure)
{
    const char* from = m_data;
    {
        std::lock_guard lock(m_sync->mutex);
        if (m_taken < m_parts.size())
            from = m_parts[m_taken]->from;
        else if (m_taken > 0)
            return std::vector<QList<QVariant>>();
    }
    Parser whole(m_data, m_data + m_size, m_entity, m_texts);
    if (from == m_data)
        return whole.run(failure);
    // The parts before it ended exactly where it starts, at a record.
    std::vector<QList<QVariant>> records;
    if (Parser(m_data, m_data + m_size, m_entity, m_texts).readPart(records, from, true))
        return records;
    // The fault is past the records given: reading from the start finds it and numbers it.
    if (whole.run(failure) && failure)
        *failure = { Failure::Kind::Syntax, QStringLiteral("unexpected end") };
    return std::nullopt;
}

std::optional<std::vector<QList<QVariant>>> JSONRecordReader::InParts::finish()
{
    end(true);
    std::vector<std::vector<QList<QVariant>>> parts;
    size_t total = 0;
    for (;;) {
        std::vector<QList<QVariant>> records;
        const Next next = this->next(records);
        if (next == Next::End)
            break;
        if (next != Next::Records)
            return std::nullopt;
        total += records.size();
        parts.push_back(std::move(records));
    }
    std::vector<QList<QVariant>> records;
    records.reserve(total);
    for (auto& part : parts)
        std::move(part.begin(), part.end(), std::back_inserter(records));
    return records;
}

std::optional<std::vector<QList<QVariant>>> JSONRecordReader::read(
    const QByteArray& data, const EntityDescription& entity, Failure* failure)
{
    if (data.size() >= FewestBytesForParts) {
        const int threads = std::min(MostParts, std::max(1, QThread::idealThreadCount()));
        if (auto records = InParts(data.constData(), data.size(), entity, threads).finish())
            return records;
    }
    return Parser(data.constData(), data.constData() + data.size(), entity).run(failure);
}
