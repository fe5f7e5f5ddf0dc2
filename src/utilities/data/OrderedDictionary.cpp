#include "utilities/data/OrderedDictionary.h"

#include "platform/Date.h"
#include "platform/Exception.h"

#include <QDateTime>
#include <QDebug>

namespace {

const QString IndexOutOfBounds
    = QStringLiteral("*** -[OrderedDictionary %1]: index %2 beyond bounds [0 .. %3]");

const QString Indent = QStringLiteral("    ");
// Significant digits of a double's text, as a number's description has them.
constexpr int kDoubleDigits = 16;

QString itemDescription(const QVariant& item, const QLocale& locale, int indent);

// The text of a dictionary given by its keys in order, as the ordered dictionary writes
// itself: the values at the same level.
template<class Value>
QString dictionaryDescription(
    const QStringList& keys, const Value& valueOf, const QLocale& locale, int indent)
{
    const QString indentText = Indent.repeated(qMax(indent, 0));
    QString description = indentText + QStringLiteral("{\n");
    for (const QString& key : keys) {
        description += QStringLiteral("%1    %2 = %3;\n")
                           .arg(indentText, key, itemDescription(valueOf(key), locale, indent));
    }
    description += indentText + QStringLiteral("}\n");
    return description;
}

// A list in the same manner: "(", one item a line separated by commas, ")".
QString listDescription(const QVariantList& list, const QLocale& locale, int indent)
{
    const QString indentText = Indent.repeated(qMax(indent, 0));
    QString description = indentText + QStringLiteral("(\n");
    for (qsizetype i = 0; i < list.size(); ++i) {
        description += indentText + Indent + itemDescription(list[i], locale, indent);
        description += i + 1 < list.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
    }
    description += indentText + QStringLiteral(")\n");
    return description;
}

// Numbers as the locale writes them, without grouping; a flag is the number 1 or 0.
QString numberDescription(const QVariant& item, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    switch (item.typeId()) {
    case QMetaType::Bool:
        return plain.toString(item.toBool() ? 1 : 0);
    case QMetaType::Double:
    case QMetaType::Float:
        return plain.toString(item.toDouble(), 'g', kDoubleDigits);
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return plain.toString(item.toULongLong());
    default:
        return plain.toString(item.toLongLong());
    }
}

QString itemDescription(const QVariant& item, const QLocale& locale, int indent)
{
    if (!item.isValid() || item.isNull())
        return QStringLiteral("<null>");
    switch (item.typeId()) {
    case QMetaType::QString:
        return item.toString();
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
        return numberDescription(item, locale);
    case QMetaType::QVariantMap: {
        const QVariantMap map = item.toMap();
        return dictionaryDescription(
            map.keys(), [&map](const QString& key) { return map.value(key); }, locale, indent);
    }
    case QMetaType::QVariantHash: {
        // A hash has no order of its own: its keys are written sorted, as a map's are.
        const QVariantHash hash = item.toHash();
        QStringList keys = hash.keys();
        keys.sort();
        return dictionaryDescription(
            keys, [&hash](const QString& key) { return hash.value(key); }, locale, indent);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return listDescription(item.toList(), locale, indent);
    case QMetaType::QDate:
        return locale.toString(item.toDate(), QLocale::LongFormat);
    case QMetaType::QDateTime:
        return locale.toString(item.toDateTime(), QLocale::LongFormat);
    case QMetaType::QTime:
        return locale.toString(item.toTime(), QLocale::LongFormat);
    default:
        break;
    }
    if (item.metaType() == QMetaType::fromType<OrderedDictionary>())
        return item.value<OrderedDictionary>().descriptionWithLocale(locale, indent);
    if (item.metaType() == QMetaType::fromType<platform::Date>())
        return locale.toString(item.value<platform::Date>().toDateTime(), QLocale::LongFormat);
    if (item.canConvert<QString>())
        return item.toString();
    QString text;
    QDebug(&text).noquote().nospace() << item;
    return text;
}

} // namespace

OrderedDictionary::OrderedDictionary()
    : OrderedDictionary(0)
{
}

OrderedDictionary::OrderedDictionary(qsizetype capacity)
{
    m_dictionary.reserve(capacity);
    m_array.reserve(capacity);
}

void OrderedDictionary::setObject(const QVariant& object, const QString& forKey)
{
    if (!m_dictionary.contains(forKey))
        m_array.append(forKey);
    m_dictionary.insert(forKey, object);
}

void OrderedDictionary::removeObjectForKey(const QString& key)
{
    if (m_dictionary.remove(key))
        m_array.removeOne(key);
}

QVariant OrderedDictionary::objectForKey(const QString& key) const
{
    return m_dictionary.value(key);
}

QStringList OrderedDictionary::reverseKeyEnumerator() const
{
    return QStringList(m_array.crbegin(), m_array.crend());
}

QVariantList OrderedDictionary::allValues() const
{
    QVariantList values;
    values.reserve(m_array.size());
    for (const QString& key : m_array)
        values.append(m_dictionary.value(key));
    return values;
}

void OrderedDictionary::insertObject(
    const QVariant& object, const QString& forKey, qsizetype atIndex)
{
    const bool existed = m_dictionary.contains(forKey);
    const qsizetype countAfterRemoval = m_array.size() - (existed ? 1 : 0);
    // Checked before anything changes, so a bad index leaves the dictionary as it was.
    if (atIndex < 0 || atIndex > countAfterRemoval)
        throw platform::Exception(platform::Exception::RangeError,
            IndexOutOfBounds.arg(QStringLiteral("insertObject"))
                .arg(atIndex)
                .arg(countAfterRemoval));
    if (existed)
        m_array.removeOne(forKey);
    m_array.insert(atIndex, forKey);
    m_dictionary.insert(forKey, object);
}

QString OrderedDictionary::keyAtIndex(qsizetype index) const
{
    if (index < 0 || index >= m_array.size())
        throw platform::Exception(platform::Exception::RangeError,
            IndexOutOfBounds.arg(QStringLiteral("keyAtIndex")).arg(index).arg(m_array.size() - 1));
    return m_array.at(index);
}

QString OrderedDictionary::descriptionWithLocale(const QLocale& locale, int indent) const
{
    return dictionaryDescription(
        m_array, [this](const QString& key) { return m_dictionary.value(key); }, locale, indent);
}

bool OrderedDictionary::operator==(const OrderedDictionary& other) const
{
    return m_array == other.m_array && m_dictionary == other.m_dictionary;
}
