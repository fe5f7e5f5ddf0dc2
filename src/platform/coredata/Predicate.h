#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace platform::coredata {

class EntityDescription;

// A conjunction of equality tests, each "attribute == value" or "attribute == $VARIABLE".
// The empty predicate matches every object. Variables are replaced by
// withSubstitutionVariables before a fetch.
class Predicate {
public:
    struct Comparison {
        QString attribute;
        QVariant value; // the constant compared with, when variable is empty
        QString variable; // the substitution variable's name, without "$"

        bool operator==(const Comparison&) const = default;
    };

    Predicate() = default;
    static Predicate equal(const QString& attribute, const QVariant& value);
    static Predicate equalToVariable(const QString& attribute, const QString& variable);
    // This predicate AND the other.
    Predicate operator&&(const Predicate& other) const;

    bool isEmpty() const { return m_terms.isEmpty(); }
    const QList<Comparison>& comparisons() const { return m_terms; }
    QStringList variables() const;

    // A copy with every variable replaced by its value in the dictionary. Raises
    // platform::Exception (invalid argument) for a variable the dictionary lacks.
    Predicate withSubstitutionVariables(const QVariantMap& variables) const;

    // Whether the values (one per attribute of the entity, declared order) satisfy it.
    // Raises for a predicate that still holds variables or names no attribute.
    bool evaluate(const EntityDescription& entity, const QList<QVariant>& values) const;

    // Text form, e.g. `id == $DATABASE_ID AND order == 2`, for logs.
    QString format() const;

    bool operator==(const Predicate&) const = default;

private:
    QList<Comparison> m_terms;
};

} // namespace platform::coredata
