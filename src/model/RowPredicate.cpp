#include "model/RowPredicate.h"

#include "model/FilterExtended.h"
#include "model/RowValueCompare.h"
#include "model/TemplateColumn.h"

#include <QHash>

namespace {

const QString kJoinFormat = QStringLiteral(" %1 ");

} // namespace

RowPredicate::RowPredicate(
    const QList<TemplateColumn*>& columns, const QList<std::shared_ptr<FilterExtended>>& filters)
{
    QHash<QString, TemplateColumn*> byId;
    for (TemplateColumn* column : columns) {
        if (column)
            byId.insert(column->id().toString(), column);
    }
    const QHash<QString, Op> operators {
        { TemplateColumn::KeyFormat + TemplateColumn::EqualFormat, Op::Equal },
        { TemplateColumn::KeyFormat + TemplateColumn::NotEqualFormat, Op::NotEqual },
        { TemplateColumn::KeyFormat + TemplateColumn::GreaterFormat, Op::Greater },
        { TemplateColumn::KeyFormat + TemplateColumn::GreaterEqualFormat, Op::GreaterEqual },
        { TemplateColumn::KeyFormat + TemplateColumn::LessFormat, Op::Less },
        { TemplateColumn::KeyFormat + TemplateColumn::LessEqualFormat, Op::LessEqual },
        { TemplateColumn::KeyFormat + TemplateColumn::ContainsFormat, Op::Contains },
        { TemplateColumn::NotContainsFormat, Op::NotContains },
    };
    for (const auto& filter : filters) {
        if (!filter)
            continue;
        TemplateColumn* column = byId.value(filter->Column());
        if (!column)
            continue;
        const QString format = column->getPredicateString(filter->Operator());
        const auto op = operators.constFind(format);
        // A label without a condition (as "None") restricts nothing.
        if (op == operators.cend())
            continue;
        Term term;
        term.key = column->id().toString();
        term.op = *op;
        term.argument = filter->getValueForType(column->typeName());
        if (term.op == Op::Contains || term.op == Op::NotContains)
            term.foldedNeedle = RowValueCompare::fold(RowValueCompare::textOf(term.argument));
        if (!m_terms.isEmpty()) {
            const QString joiner = filter->AndOrEnglish();
            term.startsGroup = joiner == FilterExtended::OrEnglish;
            m_format += kJoinFormat.arg(joiner);
        }
        m_format += format;
        m_arguments << term.key << term.argument;
        term.keyIndex = m_keys.indexOf(term.key);
        if (term.keyIndex < 0) {
            term.keyIndex = m_keys.size();
            m_keys.append(term.key);
        }
        m_terms.append(term);
    }
}

bool RowPredicate::test(const Term& term, const QVariant& value)
{
    switch (term.op) {
    case Op::Equal:
    case Op::NotEqual: {
        const bool equal = RowValueCompare::comparable(value, term.argument)
            && RowValueCompare::compare(value, term.argument) == 0;
        return term.op == Op::Equal ? equal : !equal;
    }
    case Op::Greater:
    case Op::GreaterEqual:
    case Op::Less:
    case Op::LessEqual: {
        // Order means nothing against a missing value or one of another kind.
        if (RowValueCompare::isMissing(value) || !RowValueCompare::comparable(value, term.argument))
            return false;
        const int order = RowValueCompare::compare(value, term.argument);
        switch (term.op) {
        case Op::Greater:
            return order > 0;
        case Op::GreaterEqual:
            return order >= 0;
        case Op::Less:
            return order < 0;
        default:
            return order <= 0;
        }
    }
    case Op::Contains:
    case Op::NotContains: {
        // An empty needle is contained in nothing, as the query language has it.
        const bool contains = !term.foldedNeedle.isEmpty()
            && RowValueCompare::containsFolded(value, term.foldedNeedle);
        return term.op == Op::Contains ? contains : !contains;
    }
    }
    return false;
}

template<class ValueOf> bool RowPredicate::evaluateWith(const ValueOf& valueOf) const
{
    if (m_terms.isEmpty())
        return true;
    // An OR of AND groups: a group holds while all its terms do.
    bool group = true;
    for (const Term& term : m_terms) {
        if (term.startsGroup) {
            if (group)
                return true;
            group = true;
        }
        if (group)
            group = test(term, valueOf(term));
    }
    return group;
}

bool RowPredicate::evaluate(const QVariantMap& values) const
{
    return evaluateWith([&values](const Term& term) { return values.value(term.key); });
}

bool RowPredicate::evaluate(const QVariant* values) const
{
    return evaluateWith(
        [values](const Term& term) -> const QVariant& { return values[term.keyIndex]; });
}

QStringList RowPredicate::keys() const
{
    return m_keys;
}
