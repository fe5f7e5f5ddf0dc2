#include "platform/coredata/Predicate.h"

#include "platform/Exception.h"
#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ValueCompare.h"

namespace platform::coredata {

Predicate Predicate::equal(const QString& attribute, const QVariant& value)
{
    Predicate predicate;
    predicate.m_terms.append({ attribute, value, {} });
    return predicate;
}

Predicate Predicate::equalToVariable(const QString& attribute, const QString& variable)
{
    Predicate predicate;
    predicate.m_terms.append({ attribute, {}, variable });
    return predicate;
}

Predicate Predicate::operator&&(const Predicate& other) const
{
    Predicate both = *this;
    both.m_terms.append(other.m_terms);
    return both;
}

QStringList Predicate::variables() const
{
    QStringList names;
    for (const auto& term : m_terms) {
        if (!term.variable.isEmpty())
            names << term.variable;
    }
    return names;
}

Predicate Predicate::withSubstitutionVariables(const QVariantMap& variables) const
{
    Predicate result = *this;
    for (auto& term : result.m_terms) {
        if (term.variable.isEmpty())
            continue;
        if (!variables.contains(term.variable)) {
            throw Exception(Exception::InvalidArgument,
                QStringLiteral("Can't find variable for substitution: $%1").arg(term.variable));
        }
        term.value = variables.value(term.variable);
        term.variable.clear();
    }
    return result;
}

bool Predicate::evaluate(const EntityDescription& entity, const QList<QVariant>& values) const
{
    for (const auto& term : m_terms) {
        if (!term.variable.isEmpty()) {
            throw Exception(Exception::InvalidArgument,
                QStringLiteral("Predicate still holds the variable $%1").arg(term.variable));
        }
        const int index = entity.indexOfAttribute(term.attribute);
        if (index < 0) {
            throw Exception(Exception::InvalidArgument,
                QStringLiteral("keypath %1 not found in entity %2")
                    .arg(term.attribute, entity.name()));
        }
        const QVariant operand = predicateOperand(entity.attributes()[index], term.value);
        if (!valuesEqual(values.value(index), operand))
            return false;
    }
    return true;
}

QString Predicate::format() const
{
    if (m_terms.isEmpty())
        return QStringLiteral("TRUEPREDICATE");
    QStringList parts;
    for (const auto& term : m_terms) {
        const QString right = !term.variable.isEmpty()         ? "$" + term.variable
            : term.value.isNull()                              ? QStringLiteral("nil")
            : term.value.metaType().id() == QMetaType::QString ? '"' + term.value.toString() + '"'
                                                               : term.value.toString();
        parts << term.attribute + " == " + right;
    }
    return parts.join(QStringLiteral(" AND "));
}

} // namespace platform::coredata
