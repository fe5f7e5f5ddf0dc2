#include "utilities/KivoBase64.h"

#include "utilities/KivoUtf8.h"

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

} // namespace

std::optional<QByteArray> dataWithBase64EncodedString(const QString& text)
{
    QByteArray out;
    out.reserve((text.size() / 4) * 3 + 3);
    uint32_t group = 0;
    int count = 0;
    for (const QChar c : text) {
        // Characters outside ASCII become "?" in an ASCII conversion, which is skipped.
        const char16_t unit = c.unicode();
        if (unit >= 128)
            continue;
        const uint8_t value = kDecodeTable[unit];
        if (value == kSkip)
            continue;
        group = (group << 6) | value;
        if (++count == 4) {
            out.append(char(group >> 16));
            out.append(char(group >> 8));
            out.append(char(group));
            group = 0;
            count = 0;
        }
    }
    if (count == 2) {
        out.append(char(group >> 4));
    } else if (count == 3) {
        out.append(char(group >> 10));
        out.append(char(group >> 2));
    }
    if (out.isEmpty())
        return std::nullopt;
    return out;
}

std::optional<QString> base64EncodedStringWithWrapWidth(const QByteArray& data, qsizetype width)
{
    const qsizetype n = data.size();
    if (n == 0)
        return std::nullopt;
    const bool wrap = width >= 4;
    const qsizetype lineWidth = width / 4 * 4;
    QByteArray out;
    out.reserve(n / 3 * 4 + 4 + (wrap ? (n / 3 * 4 / lineWidth + 1) * 2 : 0));
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3) {
        const uint32_t group
            = (uint32_t(bytes[i]) << 16) | (uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
        out.append(kAlphabet[(group >> 18) & 63]);
        out.append(kAlphabet[(group >> 12) & 63]);
        out.append(kAlphabet[(group >> 6) & 63]);
        out.append(kAlphabet[group & 63]);
        // A group that fills a line ends it, even when it is the last group.
        if (wrap && (out.size() + 2) % (lineWidth + 2) == 0)
            out.append("\r\n");
    }
    const qsizetype left = n - i;
    if (left == 2) {
        const uint32_t group = (uint32_t(bytes[i]) << 16) | (uint32_t(bytes[i + 1]) << 8);
        out.append(kAlphabet[(group >> 18) & 63]);
        out.append(kAlphabet[(group >> 12) & 63]);
        out.append(kAlphabet[(group >> 6) & 63]);
        out.append(kPad);
    } else if (left == 1) {
        const uint32_t group = uint32_t(bytes[i]) << 16;
        out.append(kAlphabet[(group >> 18) & 63]);
        out.append(kAlphabet[(group >> 12) & 63]);
        out.append(kPad);
        out.append(kPad);
    }
    return QString::fromLatin1(out);
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
