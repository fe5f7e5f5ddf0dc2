#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

class FilterExtended;
class TemplateColumn;

// The condition a filter list puts on a row's values. Each filter becomes the query
// format its column gives for its condition label, with the column id as the key and
// the filter's value typed for the column; the conditions are joined by each filter's
// own joiner, the first filter's joiner unused. As in the query language, AND binds
// tighter than OR.
class RowPredicate {
public:
    RowPredicate(const QList<TemplateColumn*>& columns,
        const QList<std::shared_ptr<FilterExtended>>& filters);

    // No condition at all: every row passes.
    bool isEmpty() const { return m_terms.isEmpty(); }
    // The joined query text, e.g. "%K == %@ OR %K CONTAINS[cd] %@", and its arguments
    // (key, value for each condition).
    QString format() const { return m_format; }
    QVariantList arguments() const { return m_arguments; }

    bool evaluate(const QVariantMap& values) const;
    // The same for the values of the keys() alone, in their order (invalid for a value
    // the row lacks): for many rows read into one place, with no dictionary per row.
    bool evaluate(const QVariant* values) const;
    // The ids of the columns the conditions read.
    QStringList keys() const;

private:
    enum class Op {
        Equal,
        NotEqual,
        Greater,
        GreaterEqual,
        Less,
        LessEqual,
        Contains,
        NotContains
    };
    struct Term {
        QString key;
        qsizetype keyIndex = 0; // its place among keys()
        Op op = Op::Equal;
        QVariant argument;
        QString foldedNeedle;
        bool startsGroup = false; // joined to the terms before it by OR
    };

    static bool test(const Term& term, const QVariant& value);
    template<class ValueOf> bool evaluateWith(const ValueOf& valueOf) const;

    QList<Term> m_terms;
    QString m_format;
    QVariantList m_arguments;
    QStringList m_keys;
};
