#include "model/RowDecoder.h"

#include "model/RowValueCompare.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "utilities/crypto/KivoAES256.h"
#include "utilities/crypto/KivoBase64.h"
#include "utilities/text/KivoDateUtils.h"

#include <algorithm>
#include <type_traits>

namespace {

const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

QStringList idsOf(const Rows::Columns& columns)
{
    QStringList ids;
    for (const TemplateColumn* column : columns) {
        if (column)
            ids << column->id().toString();
    }
    return ids;
}

} // namespace

RowDecoder::RowDecoder(const Rows::Columns& columns, Rows::Password password)
    : RowDecoder(columns, idsOf(columns), std::move(password))
{
}

RowDecoder::RowDecoder(
    const Rows::Columns& columns, const QStringList& ids, Rows::Password password)
    : m_password(std::move(password))
{
    // An id given twice has two slots; the reader fills the first.
    const QStringList& keys = ids;
    m_layout.keys = keys;
    m_layout.isDate.fill(false, keys.size());
    m_defaults.resize(keys.size());
    for (TemplateColumn* column : columns) {
        if (!column)
            continue;
        const qsizetype at = keys.indexOf(column->id().toString());
        if (at < 0)
            continue;
        m_layout.columns.append(column);
        if (TypeConstants::isDate(column->typeName()))
            m_layout.isDate[at] = true;
        // As a dictionary of the defaults has it: the last column of an id wins.
        m_defaults[at] = column->defaultValue();
    }
    m_toDate = datesOf(m_layout.isDate);
    m_values.resize(keys.size());
}

bool RowDecoder::decodeInto(const QVariant& stored, QVariant* values) const
{
    if (!stored.isValid() || stored.isNull()) {
        std::copy(m_defaults.cbegin(), m_defaults.cend(), values);
        return true;
    }
    const auto plain = plainText(stored, m_password);
    const bool read = plain
        && (plain->isUtf8 ? RowText::parseKnown(plain->utf8, m_layout.keys, m_toDate, values)
                          : RowText::parseKnown(plain->text, m_layout.keys, m_toDate, values));
    if (!read)
        std::fill(values, values + m_layout.keys.size(), QVariant());
    return read;
}

bool RowDecoder::decode(const QVariant& stored)
{
    return decodeInto(stored, m_values.data());
}

namespace {

template<class Char> bool beginsAnObject(const Char* p, const Char* end)
{
    const auto unit = [](Char c) {
        if constexpr (std::is_same_v<Char, char>)
            return char16_t(uchar(c));
        else
            return char16_t(c.unicode());
    };
    if constexpr (std::is_same_v<Char, char>) {
        if (end - p >= kByteOrderMark.size()
            && std::equal(kByteOrderMark.cbegin(), kByteOrderMark.cend(), p))
            p += kByteOrderMark.size();
    } else {
        if (p != end && unit(*p) == u'\uFEFF')
            ++p;
    }
    while (p != end
        && (unit(*p) == u' ' || unit(*p) == u'\t' || unit(*p) == u'\n' || unit(*p) == u'\r'))
        ++p;
    return p != end && unit(*p) == u'{';
}

} // namespace

bool RowDecoder::isClearText(const QVariant& stored)
{
    if (stored.typeId() == QMetaType::QByteArray) {
        const auto* bytes = static_cast<const QByteArray*>(stored.constData());
        return beginsAnObject(bytes->cbegin(), bytes->cend());
    }
    if (stored.typeId() == QMetaType::QString) {
        const auto* text = static_cast<const QString*>(stored.constData());
        return beginsAnObject(text->cbegin(), text->cend());
    }
    const QString text = stored.toString();
    return beginsAnObject(text.cbegin(), text.cend());
}

std::optional<RowDecoder::PlainText> RowDecoder::plainText(
    const QVariant& stored, const Rows::Password& password)
{
    PlainText plain;
    const bool isBytes = stored.typeId() == QMetaType::QByteArray;
    if (password && !isClearText(stored)) {
        // Decrypted to bytes and read from them: no UTF-16 copy of the row is made.
        const auto data = isBytes ? KivoBase64::dataWithBase64EncodedUtf8(
                              *static_cast<const QByteArray*>(stored.constData()))
                                  : KivoBase64::dataWithBase64EncodedString(stored.toString());
        auto decrypted = data ? KivoAES256::AES256DecryptWithKey(*data, *password) : std::nullopt;
        if (!decrypted || decrypted->isEmpty() || !decrypted->isValidUtf8())
            return std::nullopt;
        // A decoder of the text leaves out a byte order mark at its start.
        if (decrypted->startsWith(kByteOrderMark)) {
            decrypted->remove(0, kByteOrderMark.size());
            if (decrypted->isEmpty())
                return std::nullopt;
        }
        plain.utf8 = std::move(*decrypted);
        plain.isUtf8 = true;
    } else if (isBytes) {
        plain.utf8 = *static_cast<const QByteArray*>(stored.constData());
        plain.isUtf8 = true;
    } else {
        plain.text = stored.toString();
    }
    return plain;
}

RowText::Adjust RowDecoder::datesOf(const QList<bool>& isDate)
{
    return [&isDate](qsizetype known, QVariant& value) {
        if (!isDate[known])
            return true;
        if (RowValueCompare::kindOf(value) == RowValueCompare::Kind::Number) {
            const platform::Date date = KivoDateUtils::ConvertFromUnixTime(value.toDouble());
            if (!date.isValid())
                return false;
            value = QVariant::fromValue(date);
            return true;
        }
        return !RowValueCompare::isMissing(value);
    };
}
