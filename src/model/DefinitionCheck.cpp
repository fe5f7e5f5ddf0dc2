#include "model/DefinitionCheck.h"

#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "utilities/data/RunTime.h"
#include "utilities/text/KivoNumber.h"
#include "utilities/text/LocalizedStrings.h"

#include <QHash>
#include <QSet>

#include <cmath>
#include <limits>
#include <optional>

const QString DefinitionCheck::Refused
    = QStringLiteral("The table definition \u201c%1\u201d was not stored: %2");
const QString DefinitionCheck::NoId = QStringLiteral("it has no id.");
const QString DefinitionCheck::NotAnObject = QStringLiteral("it is not a definition object.");
const QString DefinitionCheck::SystemFromOutside = QStringLiteral(
    "it is marked as a system definition, which only the bundled definitions may be.");
const QString DefinitionCheck::ReplacesSystemDefinition
    = QStringLiteral("it would replace the system definition of the same id.");
const QString DefinitionCheck::NotText = QStringLiteral("\u201c%1\u201d should be a text.");
const QString DefinitionCheck::NotWholeNumber
    = QStringLiteral("\u201c%1\u201d should be a whole number from %2 to %3.");
const QString DefinitionCheck::NotNumber = QStringLiteral("\u201c%1\u201d should be a number.");
const QString DefinitionCheck::NotFlag = QStringLiteral("\u201c%1\u201d should be yes or no.");
const QString DefinitionCheck::NotPlainImageName
    = QStringLiteral("the image name \u201c%1\u201d is not a plain name.");
const QString DefinitionCheck::ColumnsNotList
    = QStringLiteral("\u201ccolumns\u201d should be a list of columns.");
const QString DefinitionCheck::ColumnNotObject
    = QStringLiteral("column %1 of the list is not a column object.");
const QString DefinitionCheck::ColumnNoId = QStringLiteral("column %1 of the list has no id.");
const QString DefinitionCheck::ColumnTwice
    = QStringLiteral("the column id \u201c%1\u201d is listed twice.");
const QString DefinitionCheck::ColumnOfAnotherDefinition
    = QStringLiteral("the column id \u201c%1\u201d is already used by another table definition.");
const QString DefinitionCheck::UnknownType
    = QStringLiteral("column \u201c%1\u201d has the unknown type \u201c%2\u201d.");
const QString DefinitionCheck::InColumn = QStringLiteral("in column \u201c%1\u201d, %2");

namespace {

using Source = DefinitionCheck::Source;

const QString kId = QStringLiteral("id");
const QString kColumns = QStringLiteral("columns");
const QString kImage = QStringLiteral("image");
const QString kIsSystem = QStringLiteral("issystem");
const QString kType = QStringLiteral("type");

constexpr qint64 kLargestWhole = std::numeric_limits<qint32>::max();

// The members each kind of record may carry, by what they must hold; other members are
// no attributes and are ignored when stored.
struct WholeRange {
    const char* name;
    qint64 lowest;
    qint64 highest;
};

const char* const kDefinitionTexts[] = { "category", "descr", "image", "name" };
const char* const kDefinitionFlags[] = { "isprotected", "issystem" };
const char* const kDefinitionNumbers[] = { "ctimestamp", "mtimestamp" };
const WholeRange kDefinitionWholes[] = {
    { "tilescolumns", DefinitionCheck::MinimumTilesColumns, DefinitionCheck::MaximumTilesColumns },
};

const char* const kColumnTexts[] = { "listvalues", "name", "type" };
const char* const kColumnFlags[] = { "autocomplete", "intable", "intiles", "mandatory",
    "sortascending", "sortfield", "reminder" };
const char* const kColumnNumbers[] = { "ctimestamp", "mtimestamp" };
const WholeRange kColumnWholes[] = {
    { "length", 0, DefinitionCheck::MaximumLength },
    { "precision", 0, KivoNumber::MaximumDecimals },
    { "order", 0, kLargestWhole },
    { "currentmaxlength", 0, kLargestWhole },
};

QString tr(const QString& text)
{
    return LocalizedStrings::getLocalizedString(text);
}

bool isAbsent(const QVariant& value)
{
    return !value.isValid() || value.isNull();
}

// The number a member holds, as the store will take it: a number, or decimal text.
std::optional<double> numberIn(const QVariant& value)
{
    if (RunTime::isNumericType(value.typeId()))
        return value.toDouble();
    if (value.typeId() == QMetaType::QString) {
        const QVariant number = RunTime::numberFromText(value.toString());
        if (number.isValid())
            return number.toDouble();
    }
    return std::nullopt;
}

// A flag member that is set (already checked to be one).
bool isOn(const QVariant& value)
{
    if (isAbsent(value))
        return false;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    return numberIn(value).value_or(0) != 0;
}

QString textProblem(const QVariantMap& record, const char* name)
{
    const QVariant value = record.value(QLatin1String(name));
    if (isAbsent(value) || value.typeId() == QMetaType::QString)
        return {};
    return tr(DefinitionCheck::NotText).arg(QLatin1String(name));
}

QString flagProblem(const QVariantMap& record, const char* name)
{
    const QVariant value = record.value(QLatin1String(name));
    if (isAbsent(value) || value.typeId() == QMetaType::Bool)
        return {};
    const auto number = numberIn(value);
    if (number && (*number == 0 || *number == 1))
        return {};
    return tr(DefinitionCheck::NotFlag).arg(QLatin1String(name));
}

QString numberProblem(const QVariantMap& record, const char* name)
{
    const QVariant value = record.value(QLatin1String(name));
    if (isAbsent(value))
        return {};
    const auto number = numberIn(value);
    if (number && std::isfinite(*number))
        return {};
    return tr(DefinitionCheck::NotNumber).arg(QLatin1String(name));
}

QString wholeProblem(const QVariantMap& record, const WholeRange& range)
{
    const QVariant value = record.value(QLatin1String(range.name));
    if (isAbsent(value))
        return {};
    const auto number = numberIn(value);
    if (number && std::trunc(*number) == *number && *number >= double(range.lowest)
        && *number <= double(range.highest))
        return {};
    return tr(DefinitionCheck::NotWholeNumber)
        .arg(QLatin1String(range.name))
        .arg(range.lowest)
        .arg(range.highest);
}

template<size_t Texts, size_t Flags, size_t Numbers, size_t Wholes>
QString membersProblem(const QVariantMap& record, const char* const (&texts)[Texts],
    const char* const (&flags)[Flags], const char* const (&numbers)[Numbers],
    const WholeRange (&wholes)[Wholes])
{
    for (const char* name : texts) {
        if (QString problem = textProblem(record, name); !problem.isEmpty())
            return problem;
    }
    for (const char* name : flags) {
        if (QString problem = flagProblem(record, name); !problem.isEmpty())
            return problem;
    }
    for (const char* name : numbers) {
        if (QString problem = numberProblem(record, name); !problem.isEmpty())
            return problem;
    }
    for (const WholeRange& range : wholes) {
        if (QString problem = wholeProblem(record, range); !problem.isEmpty())
            return problem;
    }
    return {};
}

// A name the themed images are looked up by: letters, digits, blanks, "-", "_" and ".",
// starting with a letter or digit; nothing that names a folder, a resource or a path.
bool isPlainImageName(const QString& name)
{
    if (name.size() > DefinitionCheck::MaximumImageNameLength)
        return false;
    if (name.isEmpty())
        return true;
    if (!name.front().isLetterOrNumber())
        return false;
    for (const QChar c : name) {
        if (!c.isLetterOrNumber() && c != u' ' && c != u'-' && c != u'_' && c != u'.')
            return false;
    }
    return !name.contains(QLatin1String(".."));
}

QString idOf(const QVariantMap& record)
{
    const QVariant id = record.value(kId);
    return id.typeId() == QMetaType::QString ? id.toString() : QString();
}

QString columnsProblem(const QVariantMap& definition, const QString& definitionId)
{
    const QVariant columns = definition.value(kColumns);
    if (isAbsent(columns))
        return {};
    if (columns.typeId() != QMetaType::QVariantList)
        return tr(DefinitionCheck::ColumnsNotList);

    // Which definition each stored column belongs to.
    QHash<QString, QString> owners;
    for (const TemplateColumn* column : TemplateColumn::getColumnsAll())
        owners.insert(column->id().toString(), column->template_id().toString());

    QSet<QString> seen;
    const QVariantList list = columns.toList();
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].typeId() != QMetaType::QVariantMap)
            return tr(DefinitionCheck::ColumnNotObject).arg(i + 1);
        const QVariantMap column = list[i].toMap();
        const QString columnId = idOf(column);
        if (columnId.isEmpty())
            return tr(DefinitionCheck::ColumnNoId).arg(i + 1);
        if (seen.contains(columnId))
            return tr(DefinitionCheck::ColumnTwice).arg(columnId);
        seen.insert(columnId);
        if (const auto owner = owners.constFind(columnId);
            owner != owners.constEnd() && *owner != definitionId)
            return tr(DefinitionCheck::ColumnOfAnotherDefinition).arg(columnId);
        const QString problem
            = membersProblem(column, kColumnTexts, kColumnFlags, kColumnNumbers, kColumnWholes);
        if (!problem.isEmpty())
            return tr(DefinitionCheck::InColumn).arg(columnId, problem);
        const QVariant type = column.value(kType);
        if (type.isValid() && !TypeConstants::allTypes().contains(type.toString()))
            return tr(DefinitionCheck::UnknownType).arg(columnId, type.toString());
    }
    return {};
}

QString problemIn(const QVariantMap& definition, Source source)
{
    const QString id = idOf(definition);
    if (id.isEmpty())
        return tr(DefinitionCheck::NoId);
    QString problem = membersProblem(
        definition, kDefinitionTexts, kDefinitionFlags, kDefinitionNumbers, kDefinitionWholes);
    if (!problem.isEmpty())
        return problem;
    const QString image = definition.value(kImage).toString();
    if (!isPlainImageName(image))
        return tr(DefinitionCheck::NotPlainImageName).arg(image);
    if (source == Source::Download) {
        if (isOn(definition.value(kIsSystem)))
            return tr(DefinitionCheck::SystemFromOutside);
        const Template* existing = Template::getTemplate(id);
        if (existing && existing->issystem().toBool())
            return tr(DefinitionCheck::ReplacesSystemDefinition);
    }
    return columnsProblem(definition, id);
}

} // namespace

QString DefinitionCheck::problemOf(const QVariantMap& definition, Source source)
{
    const QString problem = problemIn(definition, source);
    if (problem.isEmpty())
        return problem;
    const QVariant name = definition.value(QStringLiteral("name"));
    const QString shown = name.typeId() == QMetaType::QString && !name.toString().isEmpty()
        ? name.toString()
        : idOf(definition);
    return tr(Refused).arg(shown, problem);
}
