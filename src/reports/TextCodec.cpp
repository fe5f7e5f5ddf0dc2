#include "reports/TextCodec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <cstring>

namespace {

const char* icuName(StringEncoding encoding)
{
    switch (encoding) {
    case StringEncoding::UTF8:
        return "UTF-8";
    case StringEncoding::UTF16:
        return "UTF-16";
    case StringEncoding::UTF16BigEndian:
        return "UTF-16BE";
    case StringEncoding::UTF16LittleEndian:
        return "UTF-16LE";
    case StringEncoding::UTF32:
        return "UTF-32";
    case StringEncoding::UTF32BigEndian:
        return "UTF-32BE";
    case StringEncoding::UTF32LittleEndian:
        return "UTF-32LE";
    case StringEncoding::MacOSRoman:
        return "macintosh";
    case StringEncoding::ISO2022KR:
        return "ISO-2022-KR";
    case StringEncoding::Unknown:
        break;
    }
    return nullptr;
}

// The designator an ISO-2022-KR text opens with; the reader takes it off the stream, but
// the converter expects to have seen it.
const char kISO2022KRDesignator[] = "\x1b$)C";

// Room for what is left of the input and for a character the converter still holds.
constexpr qsizetype kSpareUnits = 8;

} // namespace

std::unique_ptr<TextCodec> TextCodec::codecForEncoding(StringEncoding encoding)
{
    const char* name = icuName(encoding);
    if (!name)
        return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name, &status);
    if (U_FAILURE(status))
        return nullptr;
    // Stop at bytes or characters the encoding has no place for instead of putting in
    // substitutes: the reader and the writer report them.
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    std::unique_ptr<TextCodec> codec(new TextCodec(encoding, converter));
    if (U_FAILURE(status))
        return nullptr;
    if (encoding == StringEncoding::ISO2022KR) {
        QString none;
        codec->decode(QByteArrayView(kISO2022KRDesignator), none, false);
    }
    return codec;
}

TextCodec::TextCodec(StringEncoding encoding, UConverter* converter)
    : m_encoding(encoding)
    , m_converter(converter)
{
    if (encoding == StringEncoding::UTF8)
        m_utf8Encoder.emplace(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
}

TextCodec::~TextCodec()
{
    ucnv_close(m_converter);
}

bool TextCodec::decode(QByteArrayView bytes, QString& text, bool last)
{
    if (m_failed)
        return false;
    const char* source = bytes.data();
    const char* const sourceLimit = source + bytes.size();
    for (;;) {
        const qsizetype start = text.size();
        const qsizetype room = (sourceLimit - source) + kSpareUnits;
        text.resize(start + room);
        UChar* const targetStart = reinterpret_cast<UChar*>(text.data()) + start;
        UChar* target = targetStart;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(
            m_converter, &target, targetStart + room, &source, sourceLimit, nullptr, last, &status);
        text.resize(start + (target - targetStart));
        if (status == U_BUFFER_OVERFLOW_ERROR)
            continue;
        if (U_FAILURE(status)) {
            m_failed = true;
            return false;
        }
        return true;
    }
}

qsizetype TextCodec::maxEncodedSize(qsizetype length) const
{
    if (m_utf8Encoder)
        return m_utf8Encoder->requiredSpace(length);
    return UCNV_GET_MAX_BYTES_FOR_STRING(length, ucnv_getMaxCharSize(m_converter));
}

char* TextCodec::encode(QStringView text, char* out, QByteArrayView markToDrop)
{
    if (m_utf8Encoder)
        return m_utf8Encoder->appendToBuffer(out, text);
    ucnv_resetFromUnicode(m_converter);
    const UChar* source = reinterpret_cast<const UChar*>(text.utf16());
    char* target = out;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(m_converter, &target, out + maxEncodedSize(text.size()), &source,
        source + text.size(), nullptr, true, &status);
    if (U_FAILURE(status))
        return nullptr;
    if (!markToDrop.isEmpty() && QByteArrayView(out, target - out).startsWith(markToDrop)) {
        std::memmove(out, out + markToDrop.size(), size_t(target - out - markToDrop.size()));
        target -= markToDrop.size();
    }
    return target;
}

bool TextCodec::encode(QStringView text, QByteArray& out, QByteArrayView markToDrop)
{
    const qsizetype start = out.size();
    out.resize(start + maxEncodedSize(text.size()));
    char* end = encode(text, out.data() + start, markToDrop);
    out.resize(end ? end - out.constData() : start);
    return end;
}

QString TextCodec::name(StringEncoding encoding)
{
    switch (encoding) {
    case StringEncoding::MacOSRoman:
        return QStringLiteral("Mac OS Roman");
    case StringEncoding::Unknown:
        return QStringLiteral("unknown");
    default:
        return QString::fromLatin1(icuName(encoding));
    }
}

bool TextCodec::isUTF8Prefix(QByteArrayView bytes)
{
    auto codec = codecForEncoding(StringEncoding::UTF8);
    QString text;
    return codec && codec->decode(bytes, text, false);
}
