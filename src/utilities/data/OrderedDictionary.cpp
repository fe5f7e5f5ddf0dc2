#include "utilities/data/OrderedDictionary.h"

#include "platform/Exception.h"

#include <QDebug>

namespace {

const QString IndexOutOfBounds
    = QStringLiteral("*** -[OrderedDictionary %1]: index %2 beyond bounds [0 .. %3]");

QString itemDescription(const QVariant& item, const QLocale& locale, int indent)
{
    if (item.metaType() == QMetaType::fromType<QString>())
        return item.toString();
    if (item.metaType() == QMetaType::fromType<OrderedDictionary>())
        return item.value<OrderedDictionary>().descriptionWithLocale(locale, indent);
    if (item.canConvert<QString>() && !item.isNull())
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
    const QString indentText = QString(QStringLiteral("    ")).repeated(qMax(indent, 0));
    QString description = indentText + QStringLiteral("{\n");
    for (const QString& key : m_array) {
        description
            += QStringLiteral("%1    %2 = %3;\n")
                   .arg(indentText, key, itemDescription(m_dictionary.value(key), locale, indent));
    }
    description += indentText + QStringLiteral("}\n");
    return description;
}

bool OrderedDictionary::operator==(const OrderedDictionary& other) const
{
    return m_array == other.m_array && m_dictionary == other.m_dictionary;
}
