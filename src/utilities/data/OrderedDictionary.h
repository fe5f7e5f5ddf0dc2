#pragma once

#include <QHash>
#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class DescriptionBudget;

// A dictionary that remembers the order in which its keys were added, for lists whose
// display order matters. Values are held by value; copying gives an independent dictionary.
class OrderedDictionary {
public:
    OrderedDictionary();
    explicit OrderedDictionary(qsizetype capacity);

    // A new key goes to the end of the order; an existing key keeps its place.
    void setObject(const QVariant& object, const QString& forKey);
    void removeObjectForKey(const QString& key);
    qsizetype count() const { return m_array.size(); }
    // The value, or an invalid QVariant when the key is absent.
    QVariant objectForKey(const QString& key) const;
    bool containsKey(const QString& key) const { return m_dictionary.contains(key); }

    // The keys in order, and in reverse order.
    QStringList keyEnumerator() const { return m_array; }
    QStringList reverseKeyEnumerator() const;
    // The values in key order.
    QVariantList allValues() const;

    // An existing key is removed first; the index counts after that removal and may equal
    // the count (append). A larger index raises NSRangeException.
    void insertObject(const QVariant& object, const QString& forKey, qsizetype atIndex);
    // Raises NSRangeException for an index not below the count.
    QString keyAtIndex(qsizetype index) const;

    // "{\n", one "key = value;" line per entry indented four spaces past `indent` levels,
    // then "}\n". Texts are written as they are, numbers in the locale's form (flags as 1
    // or 0), nested dictionaries in this same form and lists as "(" items ")" at the same
    // level, dates in the locale's long form, and a missing value as "<null>".
    QString descriptionWithLocale(const QLocale& locale, int indent) const;
    // The same within what the budget allows, this dictionary counted `depth` containers
    // deep; none once the budget is spent.
    std::optional<QString> descriptionWithLocale(
        const QLocale& locale, int indent, DescriptionBudget& budget, int depth) const;

    bool operator==(const OrderedDictionary& other) const;

private:
    QHash<QString, QVariant> m_dictionary;
    QStringList m_array;
};

Q_DECLARE_METATYPE(OrderedDictionary)
