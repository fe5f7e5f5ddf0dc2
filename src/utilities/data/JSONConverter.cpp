#include "utilities/data/JSONConverter.h"

#include "utilities/data/RunTime.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

const QString JSONConverter::ErrorDomain = QStringLiteral("NSCocoaErrorDomain");

namespace {

std::optional<QJsonValue> toJsonValue(const QVariant& value);

std::optional<QJsonObject> toJsonObject(const QVariantMap& map)
{
    QJsonObject object;
    for (auto it = map.begin(); it != map.end(); ++it) {
        auto member = toJsonValue(it.value());
        if (!member)
            return std::nullopt;
        object.insert(it.key(), *member);
    }
    return object;
}

// Only what JSON can hold passes: texts, finite numbers, flags, null, and lists and
// maps of those.
std::optional<QJsonValue> toJsonValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue(QJsonValue::Null);
    switch (value.typeId()) {
    case QMetaType::QString:
        return QJsonValue(value.toString());
    case QMetaType::Bool:
        return QJsonValue(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
        return QJsonValue(value.toLongLong());
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        return QJsonValue(double(value.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            return std::nullopt;
        return QJsonValue(number);
    }
    case QMetaType::QVariantMap: {
        auto object = toJsonObject(value.toMap());
        if (!object)
            return std::nullopt;
        return QJsonValue(*object);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QJsonArray array;
        for (const QVariant& item : value.toList()) {
            auto element = toJsonValue(item);
            if (!element)
                return std::nullopt;
            array.append(*element);
        }
        return QJsonValue(array);
    }
    default:
        return std::nullopt;
    }
}

// Writes the text QJsonDocument::toJson(Indented) gives for the same values, byte for byte,
// without building the document first: rows are written this way by the thousand.
class IndentedWriter {
public:
    enum class Result { Written, NoJsonForm, KeyNeedsDocument };

    // Writes into the thread's scratch buffer, which every row written reuses.
    IndentedWriter()
        : m_out(scratch())
    {
    }
    // A buffer grown for one large document is let go of.
    ~IndentedWriter()
    {
        if (m_out.size() > kKeptScratch)
            m_out = QByteArray(kFirstScratch, Qt::Uninitialized);
    }
    IndentedWriter(const IndentedWriter&) = delete;
    IndentedWriter& operator=(const IndentedWriter&) = delete;

    Result document(
        const QVariantMap& map, std::span<const JSONConverter::Replacement> replacements = {})
    {
        m_replacements = replacements;
        const Result result = object(map, 0);
        put("\n");
        return result;
    }
    // The text written, in an array of its own size.
    QByteArray text() const { return QByteArray(m_out.constData(), m_length); }

private:
    // The largest magnitude the document keeps a whole double in as an integer.
    static constexpr double kLargestExactInteger = 9007199254740992.0; // 2^53
    // The most bytes one UTF-16 unit of text becomes: "\uXXXX".
    static constexpr qsizetype kMostBytesPerUnit = 6;

    // Room for `count` more bytes; the caller writes them and then calls done().
    char* room(qsizetype count)
    {
        if (m_length + count > m_out.size())
            m_out.resize(std::max(2 * m_out.size(), m_length + count));
        return m_out.data() + m_length;
    }
    void done(const char* end) { m_length = end - m_out.constData(); }

    void put(const char* text, qsizetype count)
    {
        char* out = room(count);
        std::memcpy(out, text, size_t(count));
        done(out + count);
    }
    template<qsizetype N> void put(const char (&text)[N]) { put(text, N - 1); }
    void put(const QByteArray& bytes) { put(bytes.constData(), bytes.size()); }

    void indent(int depth)
    {
        const qsizetype count = 4 * depth;
        char* out = room(count);
        std::memset(out, ' ', size_t(count));
        done(out + count);
    }

    static char hexDigit(unsigned value) { return "0123456789abcdef"[value & 0xf]; }

    // The ASCII characters written as they are.
    static constexpr std::array<bool, 0x80> kPlain = [] {
        std::array<bool, 0x80> plain {};
        for (char16_t c = 0x20; c < 0x80; ++c)
            plain[c] = c != u'"' && c != u'\\';
        return plain;
    }();

    void string(const QString& text)
    {
        char* out = room(kMostBytesPerUnit * text.size() + 2);
        *out++ = '"';
        const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
        const char16_t* end = p + text.size();
        while (p != end) {
            // Runs of plain ASCII are most of what rows hold.
            while (p != end && *p < 0x80 && kPlain[*p])
                *out++ = char(*p++);
            if (p == end)
                break;
            const char16_t u = *p++;
            if (u < 0x80) {
                *out++ = '\\';
                switch (u) {
                case u'"':
                    *out++ = '"';
                    break;
                case u'\\':
                    *out++ = '\\';
                    break;
                case u'\b':
                    *out++ = 'b';
                    break;
                case u'\f':
                    *out++ = 'f';
                    break;
                case u'\n':
                    *out++ = 'n';
                    break;
                case u'\r':
                    *out++ = 'r';
                    break;
                case u'\t':
                    *out++ = 't';
                    break;
                default:
                    *out++ = 'u';
                    *out++ = '0';
                    *out++ = '0';
                    *out++ = hexDigit(u >> 4);
                    *out++ = hexDigit(u);
                }
            } else if (u < 0x800) {
                *out++ = char(0xc0 | (u >> 6));
                *out++ = char(0x80 | (u & 0x3f));
            } else if (QChar::isSurrogate(u)) {
                // A pair is one character; a lone half has no UTF-8 form and is escaped.
                if (QChar::isHighSurrogate(u) && p != end && QChar::isLowSurrogate(*p)) {
                    const char32_t c = QChar::surrogateToUcs4(u, *p++);
                    *out++ = char(0xf0 | (c >> 18));
                    *out++ = char(0x80 | ((c >> 12) & 0x3f));
                    *out++ = char(0x80 | ((c >> 6) & 0x3f));
                    *out++ = char(0x80 | (c & 0x3f));
                } else {
                    *out++ = '\\';
                    *out++ = 'u';
                    *out++ = hexDigit(u >> 12);
                    *out++ = hexDigit(u >> 8);
                    *out++ = hexDigit(u >> 4);
                    *out++ = hexDigit(u);
                }
            } else {
                *out++ = char(0xe0 | (u >> 12));
                *out++ = char(0x80 | ((u >> 6) & 0x3f));
                *out++ = char(0x80 | (u & 0x3f));
            }
        }
        *out++ = '"';
        done(out);
    }

    // Decimal digits of a whole number, as QByteArray::number writes them.
    void integer(qint64 value)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        put(digits, end - digits);
    }

    void number(double value)
    {
        if (std::trunc(value) == value && std::fabs(value) <= kLargestExactInteger)
            integer(qint64(value));
        else
            put(QByteArray::number(value, 'g', QLocale::FloatingPointShortest));
    }

    Result object(const QVariantMap& map, int depth)
    {
        put("{\n");
        bool empty = true;
        for (auto it = map.begin(); it != map.end(); ++it) {
            // The document orders other names its own way; such maps are left to it.
            for (QChar c : it.key()) {
                if (c.unicode() >= 0x80)
                    return Result::KeyNeedsDocument;
            }
            const QVariant* written = &it.value();
            if (depth == 0 && !m_replacements.empty()) {
                if (const auto* replacement = replacementOf(it.value())) {
                    if (!replacement->by)
                        continue;
                    written = &*replacement->by;
                }
            }
            if (!empty)
                put(",\n");
            empty = false;
            indent(depth + 1);
            string(it.key());
            put(": ");
            if (const Result result = value(*written, depth + 1); result != Result::Written)
                return result;
        }
        if (!empty)
            put("\n");
        indent(depth);
        put("}");
        return Result::Written;
    }

    Result array(const QVariantList& list, int depth)
    {
        put("[\n");
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (i)
                put(",\n");
            indent(depth + 1);
            if (const Result result = value(list[i], depth + 1); result != Result::Written)
                return result;
        }
        if (!list.isEmpty())
            put("\n");
        indent(depth);
        put("]");
        return Result::Written;
    }

    // The same kinds as toJsonValue, written as the document writes them.
    Result value(const QVariant& value, int depth)
    {
        if (!value.isValid() || value.isNull()) {
            put("null");
            return Result::Written;
        }
        switch (value.typeId()) {
        case QMetaType::QString:
            string(*static_cast<const QString*>(value.constData()));
            return Result::Written;
        case QMetaType::Bool:
            if (value.toBool())
                put("true");
            else
                put("false");
            return Result::Written;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
            integer(value.toLongLong());
            return Result::Written;
        case QMetaType::ULongLong:
        case QMetaType::ULong:
            number(double(value.toULongLong()));
            return Result::Written;
        case QMetaType::Double:
        case QMetaType::Float: {
            const double number = value.toDouble();
            if (!std::isfinite(number))
                return Result::NoJsonForm;
            this->number(number);
            return Result::Written;
        }
        case QMetaType::QVariantMap:
            return object(*static_cast<const QVariantMap*>(value.constData()), depth);
        case QMetaType::QVariantList:
            return array(*static_cast<const QVariantList*>(value.constData()), depth);
        case QMetaType::QStringList:
            return array(value.toList(), depth);
        default:
            return Result::NoJsonForm;
        }
    }

    static constexpr qsizetype kFirstScratch = 1024;
    static constexpr qsizetype kKeptScratch = 64 * 1024;

    static QByteArray& scratch()
    {
        thread_local QByteArray buffer { kFirstScratch, Qt::Uninitialized };
        return buffer;
    }

    // What replaces the top object's members, by the address of their values.
    const JSONConverter::Replacement* replacementOf(const QVariant& value) const
    {
        for (const auto& replacement : m_replacements) {
            if (replacement.of == &value)
                return &replacement;
        }
        return nullptr;
    }

    QByteArray& m_out;
    qsizetype m_length = 0;
    std::span<const JSONConverter::Replacement> m_replacements;
};

} // namespace

QByteArray JSONConverter::ToJSON(const QVariantMap& dictionary)
{
    IndentedWriter writer;
    switch (writer.document(dictionary)) {
    case IndentedWriter::Result::Written:
        return writer.text();
    case IndentedWriter::Result::NoJsonForm:
        return QByteArray();
    case IndentedWriter::Result::KeyNeedsDocument:
        break;
    }
    const auto object = toJsonObject(dictionary);
    if (!object)
        return QByteArray();
    return QJsonDocument(*object).toJson(QJsonDocument::Indented);
}

QByteArray JSONConverter::ToJSON(
    const QVariantMap& dictionary, std::span<const Replacement> replacements)
{
    IndentedWriter writer;
    switch (writer.document(dictionary, replacements)) {
    case IndentedWriter::Result::Written:
        return writer.text();
    case IndentedWriter::Result::NoJsonForm:
        return QByteArray();
    case IndentedWriter::Result::KeyNeedsDocument:
        break;
    }
    QVariantMap replaced = dictionary;
    for (auto it = dictionary.begin(); it != dictionary.end(); ++it) {
        for (const Replacement& replacement : replacements) {
            if (replacement.of != &it.value())
                continue;
            if (replacement.by)
                replaced.insert(it.key(), *replacement.by);
            else
                replaced.remove(it.key());
            break;
        }
    }
    return ToJSON(replaced);
}

QByteArray JSONConverter::ToJSON(const QObject* object)
{
    if (!object)
        return QByteArray();
    return ToJSON(RunTime::dictionaryFromClass(object));
}

std::optional<QVariantMap> JSONConverter::FromJSONDictionary(
    const QByteArray& data, platform::Error* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    QString problem;
    if (parseError.error != QJsonParseError::NoError)
        problem = QStringLiteral("The data couldn\u2019t be read because it isn\u2019t in the "
                                 "correct format (%1 at offset %2).")
                      .arg(parseError.errorString())
                      .arg(parseError.offset);
    else if (!document.isObject())
        problem = QStringLiteral("The data couldn\u2019t be read because it is not a JSON object.");
    if (!problem.isEmpty()) {
        if (error)
            *error = platform::Error::withDescription(ErrorDomain, ErrorInvalidJSON, problem);
        return std::nullopt;
    }
    return document.object().toVariantMap();
}

std::unique_ptr<QObject> JSONConverter::FromJSON(
    const QByteArray& data, const QMetaObject* cls, platform::Error* error)
{
    const auto dictionary = FromJSONDictionary(data, error);
    return FromDictionary(dictionary.value_or(QVariantMap()), cls);
}

std::unique_ptr<QObject> JSONConverter::FromDictionary(
    const QVariantMap& dictionary, const QMetaObject* cls)
{
    return RunTime::classFromDictionary(dictionary, cls);
}
