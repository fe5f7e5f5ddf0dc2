#include "model/DefinitionRules.h"

#include "model/DefinitionCheck.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "utilities/data/RunTime.h"
#include "utilities/text/KivoNumber.h"
#include "utilities/text/LocalizedStrings.h"

#include <cmath>
#include <optional>

const QString DefinitionRules::DefaultImage = QStringLiteral("template");

namespace {

bool hasNoValue(const QVariant& value)
{
    return !value.isValid() || value.isNull();
}

QString textOf(const QVariant& value)
{
    return hasNoValue(value) ? QString() : value.toString();
}

// The whole number a numeric attribute holds; none for nothing, text that is no number,
// a fraction or a number too large to mean anything here.
std::optional<qint64> wholeNumber(const QVariant& value)
{
    if (hasNoValue(value))
        return std::nullopt;
    QVariant number = value;
    if (value.typeId() == QMetaType::QString)
        number = RunTime::numberFromText(value.toString());
    if (!RunTime::isNumericType(number.typeId()))
        return std::nullopt;
    const double real = number.toDouble();
    if (!std::isfinite(real) || std::trunc(real) != real || std::fabs(real) > 9.0e15)
        return std::nullopt;
    return qint64(real);
}

bool isMissingOrZero(const QVariant& value)
{
    return wholeNumber(value).value_or(0) == 0;
}

bool isTextType(const QString& type)
{
    return type == TypeConstants::Text || type == TypeConstants::BigText;
}

template<class Record>
QString nameProblem(Record* record, const QList<Record*>& records, bool editing)
{
    const QString name = textOf(record->name());
    if (name.isEmpty())
        return LocalizedStrings::InvalidName();
    // The first record of that name decides: the record itself, while edited, is no
    // duplicate of itself.
    for (Record* other : records) {
        if (textOf(other->name()) != name)
            continue;
        if (editing && other == record)
            return {};
        return LocalizedStrings::DuplicateEntry();
    }
    return {};
}

} // namespace

QStringList DefinitionRules::templateProblems(
    Template* definition, const QList<Template*>& definitions, bool editing)
{
    QStringList problems;
    if (!definition)
        return { LocalizedStrings::InvalidTemplate() };
    if (QString problem = nameProblem(definition, definitions, editing); !problem.isEmpty())
        problems << problem;
    if (textOf(definition->descr()).isEmpty())
        problems << LocalizedStrings::InvalidDescription();
    const auto tiles = wholeNumber(definition->tilescolumns());
    if (!tiles || *tiles < DefinitionCheck::MinimumTilesColumns
        || *tiles > DefinitionCheck::MaximumTilesColumns)
        problems << LocalizedStrings::InvalidTilesColumn();
    if (textOf(definition->image()).isEmpty())
        definition->setImage(DefaultImage);
    return problems;
}

QStringList DefinitionRules::columnProblems(
    TemplateColumn* column, const QList<TemplateColumn*>& columns, bool editing)
{
    if (!column)
        return { LocalizedStrings::InvalidType() };
    QStringList problems;
    if (QString problem = nameProblem(column, columns, editing); !problem.isEmpty())
        problems << problem;
    const QString type = textOf(column->type());
    if (type.isEmpty() || !TypeConstants::allTypes().contains(type)) {
        problems << LocalizedStrings::InvalidType();
        return problems;
    }
    bool lengthRefused = false;
    if (isTextType(type) || TypeConstants::isNumber(type)) {
        if (isMissingOrZero(column->length())) {
            problems << LocalizedStrings::InvalidLength();
            lengthRefused = true;
        }
        if (isTextType(type))
            column->setPrecision(0);
    }
    if (TypeConstants::isList(type)) {
        if (textOf(column->listvalues()).isEmpty())
            problems << LocalizedStrings::InvalidListValues();
        column->setLength(0);
        column->setPrecision(0);
    }
    if (TypeConstants::isLink(type)) {
        column->setLength(LinkLength);
        column->setPrecision(0);
        column->setListvalues(QVariant());
    }
    if (TypeConstants::isDate(type) || TypeConstants::isBoolean(type)) {
        column->setLength(0);
        column->setPrecision(0);
        column->setListvalues(QVariant());
    }
    // What the type leaves in place must be something the rows and formatters can use.
    if (!lengthRefused && !hasNoValue(column->length())) {
        const auto length = wholeNumber(column->length());
        if (!length || *length < 0 || *length > DefinitionCheck::MaximumLength)
            problems << LocalizedStrings::InvalidLength();
    }
    if (!hasNoValue(column->precision())) {
        const auto precision = wholeNumber(column->precision());
        if (!precision || *precision < 0 || *precision > qint64(KivoNumber::MaximumDecimals))
            problems << LocalizedStrings::InvalidPrecision();
    }
    return problems;
}

QString DefinitionRules::changeProblem(const QString& storedType, const QVariant& storedLength,
    const QString& newType, const QVariant& newLength, bool inUse)
{
    if (inUse && !DefinitionCheck::sameTypeFamily(storedType, newType))
        return LocalizedStrings::InvalidType();
    if (isTextType(storedType) && isTextType(newType)
        && wholeNumber(newLength).value_or(0) < wholeNumber(storedLength).value_or(0))
        return LocalizedStrings::InvalidLength();
    return {};
}
