#include "utilities/store/JSONRecordWriter.h"

#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ManagedObject.h"
#include "utilities/store/KivoLibObject.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

using platform::coredata::EntityDescription;
using platform::coredata::ManagedObject;

constexpr int NameMember = -1;

// The members of an entity's records in the order a JSON object keeps them (by key),
// each with its line start ("        \"key\": ") written once.
struct Layout {
    QList<int> attributes; // attribute index, or NameMember
    QList<QByteArray> prefixes;
    QByteArray entityName;
};

char hexDigit(uint value)
{
    return char(value < 10 ? '0' + value : 'a' + value - 10);
}

// Appends the text as a JSON string body, escaped as QJsonDocument escapes it: quotes,
// backslashes and control characters escaped, the rest in UTF-8, and a lone surrogate as
// a \u escape.
void appendEscaped(QByteArray& out, const QString& text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size() * 6);
    char* cursor = out.data() + start;
    const char16_t* src = reinterpret_cast<const char16_t*>(text.constData());
    const char16_t* const end = src + text.size();
    while (src != end) {
        const char16_t u = *src++;
        if (u < 0x80) {
            if (u >= 0x20 && u != u'"' && u != u'\\') {
                *cursor++ = char(u);
                continue;
            }
            *cursor++ = '\\';
            switch (u) {
            case u'"':
                *cursor++ = '"';
                break;
            case u'\\':
                *cursor++ = '\\';
                break;
            case u'\b':
                *cursor++ = 'b';
                break;
            case u'\f':
                *cursor++ = 'f';
                break;
            case u'\n':
                *cursor++ = 'n';
                break;
            case u'\r':
                *cursor++ = 'r';
                break;
            case u'\t':
                *cursor++ = 't';
                break;
            default:
                *cursor++ = 'u';
                *cursor++ = '0';
                *cursor++ = '0';
                *cursor++ = hexDigit(u >> 4);
                *cursor++ = hexDigit(u & 0xf);
            }
        } else if (u < 0x800) {
            *cursor++ = char(0xc0 | (u >> 6));
            *cursor++ = char(0x80 | (u & 0x3f));
        } else if (QChar::isHighSurrogate(u) && src != end && QChar::isLowSurrogate(*src)) {
            const char32_t code = QChar::surrogateToUcs4(u, *src++);
            *cursor++ = char(0xf0 | (code >> 18));
            *cursor++ = char(0x80 | ((code >> 12) & 0x3f));
            *cursor++ = char(0x80 | ((code >> 6) & 0x3f));
            *cursor++ = char(0x80 | (code & 0x3f));
        } else if (QChar::isSurrogate(u)) {
            *cursor++ = '\\';
            *cursor++ = 'u';
            *cursor++ = hexDigit((u >> 12) & 0xf);
            *cursor++ = hexDigit((u >> 8) & 0xf);
            *cursor++ = hexDigit((u >> 4) & 0xf);
            *cursor++ = hexDigit(u & 0xf);
        } else {
            *cursor++ = char(0xe0 | (u >> 12));
            *cursor++ = char(0x80 | ((u >> 6) & 0x3f));
            *cursor++ = char(0x80 | (u & 0x3f));
        }
    }
    out.truncate(cursor - out.constData());
}

Layout layoutOf(const EntityDescription& entity)
{
    QList<std::pair<QString, int>> members;
    const auto& attributes = entity.attributes();
    for (int i = 0; i < attributes.size(); ++i)
        members.append({ attributes[i].name, i });
    members.append({ KivoLib::ManageObjectNameKey, NameMember });
    std::sort(members.begin(), members.end());
    Layout layout;
    for (const auto& [name, index] : std::as_const(members)) {
        QByteArray prefix("        \"");
        appendEscaped(prefix, name);
        prefix += "\": ";
        layout.attributes.append(index);
        layout.prefixes.append(prefix);
    }
    appendEscaped(layout.entityName, entity.name());
    return layout;
}

// False for a value JSON cannot hold.
bool appendValue(QByteArray& out, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        out += "null";
        return true;
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        out += value.toBool() ? "true" : "false";
        return true;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        out += QByteArray::number(value.toLongLong());
        return true;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            return false;
        // Whole numbers a 64-bit integer holds are written without an exponent, as Qt does.
        const double magnitude = std::abs(number);
        const bool whole = magnitude < 18446744073709551616.0 && std::trunc(magnitude) == magnitude;
        out += QByteArray::number(number, whole ? 'f' : 'g', QLocale::FloatingPointShortest);
        return true;
    }
    case QMetaType::QString:
        out += '"';
        appendEscaped(out, value.toString());
        out += '"';
        return true;
    default:
        return false;
    }
}

} // namespace

QByteArray JSONRecordWriter::write(const QList<ManagedObject*>& objects)
{
    QByteArray out("[\n");
    QHash<const EntityDescription*, Layout> layouts;
    for (qsizetype n = 0; n < objects.size(); ++n) {
        const ManagedObject* object = objects[n];
        auto it = layouts.find(&object->entity());
        if (it == layouts.end())
            it = layouts.insert(&object->entity(), layoutOf(object->entity()));
        const Layout& layout = *it;
        const QList<QVariant> values = object->values();
        out += "    {\n";
        for (qsizetype m = 0; m < layout.attributes.size(); ++m) {
            out += layout.prefixes[m];
            const int index = layout.attributes[m];
            if (index == NameMember) {
                out += '"';
                out += layout.entityName;
                out += '"';
            } else if (!appendValue(out, values.value(index))) {
                return {};
            }
            out += m + 1 < layout.attributes.size() ? ",\n" : "\n";
        }
        out += n + 1 < objects.size() ? "    },\n" : "    }\n";
    }
    out += "]\n";
    return out;
}
