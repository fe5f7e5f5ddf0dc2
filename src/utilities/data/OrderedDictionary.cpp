#include "utilities/data/OrderedDictionary.h"

#include "platform/Date.h"
#include "platform/Exception.h"
#include "utilities/data/DescriptionBudget.h"

#include <QDateTime>
#include <QDebug>

#include <limits>

namespace {

const QString IndexOutOfBounds
    = QStringLiteral("*** -[OrderedDictionary %1]: index %2 beyond bounds [0 .. %3]");

const QString Indent = QStringLiteral("    ");
// Significant digits of a double's text, as a number's description has them.
constexpr int kDoubleDigits = 16;

// Writes descriptions within a budget: nothing once it is spent.
class Describer {
public:
    Describer(const QLocale& locale, DescriptionBudget& budget)
        : m_locale(locale)
        , m_budget(budget)
    {
    }

    // The text of a dictionary of `count` entries given by its keys in order, as the ordered
    // dictionary writes itself: the values at the same level. The keys are asked for once the
    // entries are paid for.
    template<class Keys, class Value>
    std::optional<QString> dictionary(
        qsizetype count, const Keys& keysOf, const Value& valueOf, int indent, int depth)
    {
        const QString indentText = Indent.repeated(qMax(indent, 0));
        const QString lead = indentText + Indent;
        if (!m_budget.spendLines(count, lead))
            return std::nullopt;
        const QStringList keys = keysOf();
        QString description;
        if (!m_budget.write(description, indentText + QStringLiteral("{\n")))
            return std::nullopt;
        for (const QString& key : keys) {
            const std::optional<QString> value = item(valueOf(key), indent, depth + 1);
            if (!value)
                return std::nullopt;
            description += lead;
            if (!m_budget.write(
                    description, key + QStringLiteral(" = ") + *value + QStringLiteral(";\n")))
                return std::nullopt;
        }
        if (!m_budget.write(description, indentText + QStringLiteral("}\n")))
            return std::nullopt;
        return description;
    }

    // A list in the same manner: "(", one item a line separated by commas, ")".
    template<class List> std::optional<QString> list(const List& list, int indent, int depth)
    {
        const QString indentText = Indent.repeated(qMax(indent, 0));
        const QString lead = indentText + Indent;
        if (!m_budget.spendLines(list.size(), lead))
            return std::nullopt;
        QString description;
        if (!m_budget.write(description, indentText + QStringLiteral("(\n")))
            return std::nullopt;
        for (qsizetype i = 0; i < list.size(); ++i) {
            const std::optional<QString> text = item(QVariant(list[i]), indent, depth + 1);
            if (!text)
                return std::nullopt;
            description += lead;
            if (!m_budget.write(description,
                    *text + (i + 1 < list.size() ? QStringLiteral(",\n") : QStringLiteral("\n"))))
                return std::nullopt;
        }
        if (!m_budget.write(description, indentText + QStringLiteral(")\n")))
            return std::nullopt;
        return description;
    }

    std::optional<QString> item(const QVariant& item, int indent, int depth);

private:
    const QLocale& m_locale;
    DescriptionBudget& m_budget;
};

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

std::optional<QString> Describer::item(const QVariant& item, int indent, int depth)
{
    // Nested deeper than the caller reads: cut short, not recursed into.
    if (depth > m_budget.maximumDepth())
        return DescriptionBudget::cutShort();
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
        return numberDescription(item, m_locale);
    case QMetaType::QVariantMap: {
        const auto& map = *static_cast<const QVariantMap*>(item.constData());
        return dictionary(
            map.size(), [&map] { return map.keys(); },
            [&map](const QString& key) { return map.value(key); }, indent, depth);
    }
    case QMetaType::QVariantHash: {
        // A hash has no order of its own: its keys are written sorted, as a map's are.
        const auto& hash = *static_cast<const QVariantHash*>(item.constData());
        const auto sortedKeys = [&hash] {
            QStringList keys = hash.keys();
            keys.sort();
            return keys;
        };
        return dictionary(
            hash.size(), sortedKeys, [&hash](const QString& key) { return hash.value(key); },
            indent, depth);
    }
    case QMetaType::QVariantList:
        return list(*static_cast<const QVariantList*>(item.constData()), indent, depth);
    case QMetaType::QStringList:
        return list(*static_cast<const QStringList*>(item.constData()), indent, depth);
    case QMetaType::QDate:
        return m_locale.toString(item.toDate(), QLocale::LongFormat);
    case QMetaType::QDateTime:
        return m_locale.toString(item.toDateTime(), QLocale::LongFormat);
    case QMetaType::QTime:
        return m_locale.toString(item.toTime(), QLocale::LongFormat);
    default:
        break;
    }
    if (item.metaType() == QMetaType::fromType<OrderedDictionary>())
        return static_cast<const OrderedDictionary*>(item.constData())
            ->descriptionWithLocale(m_locale, indent, m_budget, depth);
    if (item.metaType() == QMetaType::fromType<platform::Date>())
        return m_locale.toString(item.value<platform::Date>().toDateTime(), QLocale::LongFormat);
    if (item.canConvert<QString>())
        return item.toString();
    QString text;
    QDebug(&text).noquote().nospace() << item;
    return text;
}

// Describing for a caller that bounds nothing.
class Unbounded final : public DescriptionBudget {
public:
    int maximumDepth() const override { return std::numeric_limits<int>::max() - 1; }
    bool spendItems(qsizetype) override { return true; }
    bool spendCharacters(qsizetype) override { return true; }
};

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
    Unbounded unbounded;
    return descriptionWithLocale(locale, indent, unbounded, 0).value_or(QString());
}

std::optional<QString> OrderedDictionary::descriptionWithLocale(
    const QLocale& locale, int indent, DescriptionBudget& budget, int depth) const
{
    return Describer(locale, budget)
        .dictionary(
            m_array.size(), [this] { return m_array; },
            [this](const QString& key) { return m_dictionary.value(key); }, indent, depth);
}

bool OrderedDictionary::operator==(const OrderedDictionary& other) const
{
    return m_array == other.m_array && m_dictionary == other.m_dictionary;
}
