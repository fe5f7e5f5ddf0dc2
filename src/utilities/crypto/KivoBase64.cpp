#include "utilities/crypto/KivoBase64.h"

#include "utilities/text/KivoUtf8.h"

#include <array>

namespace KivoBase64 {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';
constexpr uint8_t kSkip = 99;

constexpr std::array<uint8_t, 128> decodeTable()
{
    std::array<uint8_t, 128> table {};
    for (auto& entry : table)
        entry = kSkip;
    for (uint8_t i = 0; i < 64; ++i)
        table[uint8_t(kAlphabet[i])] = i;
    return table;
}

constexpr auto kDecodeTable = decodeTable();

// The decoding of a text's code units: UTF-16 units, or UTF-8 bytes (every byte of a
// character beyond ASCII is 128 or more, so both skip the same characters).
template<class Unit> std::optional<QByteArray> decodeUnits(const Unit* p, const Unit* const end)
{
    QByteArray out(((end - p) / 4) * 3 + 3, Qt::Uninitialized);
    char* write = out.data();
    uint32_t group = 0;
    int count = 0;
    while (p != end) {
        // Whole groups of four alphabet characters, the bulk of any text, at once.
        if (count == 0 && end - p >= 4 && (p[0] | p[1] | p[2] | p[3]) < 128) {
            const uint8_t a = kDecodeTable[p[0]];
            const uint8_t b = kDecodeTable[p[1]];
            const uint8_t c = kDecodeTable[p[2]];
            const uint8_t d = kDecodeTable[p[3]];
            if ((a | b | c | d) < 64) {
                const uint32_t whole
                    = (uint32_t(a) << 18) | (uint32_t(b) << 12) | (uint32_t(c) << 6) | d;
                *write++ = char(whole >> 16);
                *write++ = char(whole >> 8);
                *write++ = char(whole);
                p += 4;
                continue;
            }
        }
        // Characters outside ASCII become "?" in an ASCII conversion, which is skipped.
        const auto unit = *p++;
        if (unit >= 128)
            continue;
        const uint8_t value = kDecodeTable[unit];
        if (value == kSkip)
            continue;
        group = (group << 6) | value;
        if (++count == 4) {
            *write++ = char(group >> 16);
            *write++ = char(group >> 8);
            *write++ = char(group);
            group = 0;
            count = 0;
        }
    }
    if (count == 2) {
        *write++ = char(group >> 4);
    } else if (count == 3) {
        *write++ = char(group >> 10);
        *write++ = char(group >> 2);
    }
    out.truncate(write - out.constData());
    if (out.isEmpty())
        return std::nullopt;
    return out;
}

} // namespace

std::optional<QByteArray> dataWithBase64EncodedString(const QString& text)
{
    const auto* units = reinterpret_cast<const char16_t*>(text.constData());
    return decodeUnits(units, units + text.size());
}

std::optional<QByteArray> dataWithBase64EncodedUtf8(QByteArrayView utf8)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    return decodeUnits(bytes, bytes + utf8.size());
}

std::optional<QString> base64EncodedStringWithWrapWidth(const QByteArray& data, qsizetype width)
{
    const qsizetype n = data.size();
    if (n == 0)
        return std::nullopt;
    const qsizetype groups = n / 3;
    const qsizetype left = n % 3;
    // A line holds this many groups; a group that fills a line ends it with CR LF, even
    // when it is the last group.
    const qsizetype groupsPerLine = width >= 4 ? width / 4 : 0;
    const qsizetype lineBreaks = groupsPerLine ? groups / groupsPerLine : 0;
    QString out(groups * 4 + (left ? 4 : 0) + lineBreaks * 2, Qt::Uninitialized);
    QChar* write = out.data();
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    auto put = [&write](uint32_t value) { *write++ = QLatin1Char(kAlphabet[value & 63]); };
    for (qsizetype g = 0; g < groups; ++g) {
        const uint8_t* b = bytes + g * 3;
        const uint32_t group = (uint32_t(b[0]) << 16) | (uint32_t(b[1]) << 8) | b[2];
        put(group >> 18);
        put(group >> 12);
        put(group >> 6);
        put(group);
        if (groupsPerLine && (g + 1) % groupsPerLine == 0) {
            *write++ = QLatin1Char('\r');
            *write++ = QLatin1Char('\n');
        }
    }
    const uint8_t* b = bytes + groups * 3;
    if (left == 2) {
        const uint32_t group = (uint32_t(b[0]) << 16) | (uint32_t(b[1]) << 8);
        put(group >> 18);
        put(group >> 12);
        put(group >> 6);
        *write++ = QLatin1Char(kPad);
    } else if (left == 1) {
        const uint32_t group = uint32_t(b[0]) << 16;
        put(group >> 18);
        put(group >> 12);
        *write++ = QLatin1Char(kPad);
        *write++ = QLatin1Char(kPad);
    }
    return out;
}

std::optional<QString> base64EncodedString(const QByteArray& data)
{
    return base64EncodedStringWithWrapWidth(data, 0);
}

std::optional<QString> stringWithBase64EncodedString(const QString& text)
{
    const auto data = dataWithBase64EncodedString(text);
    if (!data)
        return std::nullopt;
    return KivoUtf8::stringWithUTF8Data(*data);
}

std::optional<QString> base64EncodedStringWithWrapWidth(const QString& text, qsizetype width)
{
    return base64EncodedStringWithWrapWidth(text.toUtf8(), width);
}

std::optional<QString> base64EncodedString(const QString& text)
{
    return base64EncodedStringWithWrapWidth(text.toUtf8(), 0);
}

std::optional<QString> base64DecodedString(const QString& text)
{
    return stringWithBase64EncodedString(text);
}

std::optional<QByteArray> base64DecodedData(const QString& text)
{
    return dataWithBase64EncodedString(text);
}

} // namespace KivoBase64
