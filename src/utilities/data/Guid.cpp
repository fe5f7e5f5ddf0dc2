#include "utilities/data/Guid.h"

#include "platform/Exception.h"

#include <QRandomGenerator>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <pthread.h>
#include <sys/random.h>

const QString Guid::DataKey = QStringLiteral("data");

namespace {

const char kWrongFormatName[] = "Guid wrong format";
const char kWrongFormatReason[] = "The string %1 is not a value guid";
constexpr qsizetype kByteCount = 16;
constexpr qsizetype kDigitCount = 32;
// Positions of the hyphens in the 36-character form, counted after any opening bracket.
constexpr qsizetype kHyphenPositions[] = { 8, 13, 18, 23 };

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Bumped in a forked child, so that it never hands out the bytes its parent also holds.
std::atomic<unsigned> forks = 0;

// Random bytes from the kernel's generator, taken a page at a time: rows take a new id
// each, and a system call per id cost as much as the rest of making the row.
class RandomBytes {
public:
    void take(uint8_t* bytes, qsizetype count)
    {
        const unsigned generation = forks.load(std::memory_order_relaxed);
        if (generation != m_generation) {
            m_generation = generation;
            m_used = kPage;
        }
        if (m_used + count > kPage) {
            fill();
            m_used = 0;
        }
        std::memcpy(bytes, m_bytes + m_used, size_t(count));
        // Bytes given out are not kept.
        std::memset(m_bytes + m_used, 0, size_t(count));
        m_used += count;
    }

private:
    static constexpr qsizetype kPage = 4096;

    void fill()
    {
        static const bool registered = [] {
            pthread_atfork(nullptr, nullptr, [] { forks.fetch_add(1); });
            return true;
        }();
        (void)registered;
        qsizetype filled = 0;
        while (filled < kPage) {
            const ssize_t got = getrandom(m_bytes + filled, size_t(kPage - filled), 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            filled += got;
        }
        // Short of a whole page, the system generator fills it all: a partial read may
        // end off the word boundary it writes on.
        if (filled < kPage) {
            QRandomGenerator::system()->fillRange(
                reinterpret_cast<quint32*>(m_bytes), kPage / qsizetype(sizeof(quint32)));
        }
    }

    alignas(quint32) uint8_t m_bytes[kPage];
    qsizetype m_used = kPage;
    unsigned m_generation = 0;
};

} // namespace

Guid::Guid() = default;

Guid::Guid(const uint8_t* bytes)
{
    if (bytes)
        std::memcpy(m_bytes.data(), bytes, kByteCount);
}

Guid::Guid(const QUuid& uuid)
{
    const QByteArray bytes = uuid.toRfc4122();
    std::memcpy(m_bytes.data(), bytes.constData(), kByteCount);
}

Guid::Guid(const QString& text)
{
    if (!guidBytesFromString(text, m_bytes.data()))
        throw platform::Exception(QString::fromLatin1(kWrongFormatName),
            QString::fromLatin1(kWrongFormatReason).arg(text));
}

Guid Guid::initWithCoder(const QVariantMap& coder)
{
    const QByteArray bytes = coder.value(DataKey).toByteArray();
    if (bytes.size() != kByteCount)
        return Guid();
    return Guid(reinterpret_cast<const uint8_t*>(bytes.constData()));
}

void Guid::encodeWithCoder(QVariantMap& coder) const
{
    coder.insert(DataKey, data());
}

const Guid& Guid::emptyGuid()
{
    static const Guid empty;
    return empty;
}

Guid Guid::randomGuid()
{
    thread_local RandomBytes random;
    uint8_t bytes[kByteCount];
    random.take(bytes, kByteCount);
    // Version 4 (random), RFC 4122 variant.
    bytes[6] = uint8_t((bytes[6] & 0x0F) | 0x40);
    bytes[8] = uint8_t((bytes[8] & 0x3F) | 0x80);
    return Guid(bytes);
}

std::optional<Guid> Guid::guidFromString(const QString& text)
{
    uint8_t bytes[kByteCount];
    if (!guidBytesFromString(text, bytes))
        return std::nullopt;
    return Guid(bytes);
}

bool Guid::guidBytesFromString(const QString& text, uint8_t* bytes)
{
    if (text.isEmpty() || !bytes)
        return false;
    std::memset(bytes, 0, kByteCount);
    const QChar first = text.front();
    qsizetype offset = 0;
    if (first == QLatin1Char('(') || first == QLatin1Char('{')) {
        if (text.size() != 34 && text.size() != 38)
            return false;
        const QChar closing = first == QLatin1Char('(') ? QLatin1Char(')') : QLatin1Char('}');
        if (text.back() != closing)
            return false;
        offset = 1;
    } else if (text.size() != 32 && text.size() != 36) {
        return false;
    }
    if (text.size() - 2 * offset == 36) {
        for (qsizetype position : kHyphenPositions) {
            if (text.at(offset + position) != QLatin1Char('-'))
                return false;
        }
    }
    qsizetype digits = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('-') || c == QLatin1Char('(') || c == QLatin1Char(')')
            || c == QLatin1Char('{') || c == QLatin1Char('}'))
            continue;
        const int value = hexValue(c);
        if (value < 0 || digits >= kDigitCount)
            return false;
        if (digits % 2 == 0)
            bytes[digits / 2] = uint8_t(value << 4);
        else
            bytes[digits / 2] |= uint8_t(value);
        ++digits;
    }
    return digits == kDigitCount;
}

QString Guid::stringValueWithFormat(unsigned format) const
{
    // Written into a buffer and copied once: rows take a new id each.
    const char* digits = (format & UpperCase) ? "0123456789ABCDEF" : "0123456789abcdef";
    char16_t text[2 * kByteCount + 6];
    qsizetype length = 0;
    char16_t closing = 0;
    if (format & Braces) {
        text[length++] = u'{';
        closing = u'}';
    } else if (format & Parentheses) {
        text[length++] = u'(';
        closing = u')';
    }
    for (qsizetype i = 0; i < kByteCount; ++i) {
        text[length++] = char16_t(digits[m_bytes[i] >> 4]);
        text[length++] = char16_t(digits[m_bytes[i] & 0x0F]);
        if ((format & Hyphens) && (i == 3 || i == 5 || i == 7 || i == 9))
            text[length++] = u'-';
    }
    if (closing)
        text[length++] = closing;
    return QString(reinterpret_cast<const QChar*>(text), length);
}

QString Guid::stringValue() const
{
    return stringValueWithFormat(Hyphens);
}

QString Guid::description() const
{
    return stringValue();
}

QString Guid::compactStringValue() const
{
    return stringValueWithFormat(0);
}

QUuid Guid::uuidBytes() const
{
    return QUuid::fromRfc4122(data());
}

void Guid::byteDataToBuffer(uint8_t* buffer) const
{
    if (buffer)
        std::memcpy(buffer, m_bytes.data(), kByteCount);
}

QByteArray Guid::data() const
{
    return QByteArray(reinterpret_cast<const char*>(m_bytes.data()), kByteCount);
}

bool Guid::isEqual(const QVariant& other) const
{
    return other.metaType() == QMetaType::fromType<Guid>() && isEqual(other.value<Guid>());
}

uint32_t Guid::hash() const
{
    uint32_t result = 0;
    for (qsizetype word = 0; word < 4; ++word) {
        const uint8_t* b = m_bytes.data() + word * 4;
        result ^= uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16)
            | (uint32_t(b[3]) << 24);
    }
    return result;
}

bool Guid::isEmpty() const
{
    return isEqual(emptyGuid());
}
