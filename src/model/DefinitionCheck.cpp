#include "model/DefinitionCheck.h"

#include "model/DefaultContent.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
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
const QString DefinitionCheck::IdNotGuid
    = QStringLiteral("the id \u201c%1\u201d is not a GUID (8-4-4-4-12 hexadecimal digits).");
const QString DefinitionCheck::NameMissing = QStringLiteral("it has no name.");
const QString DefinitionCheck::NameTooLong
    = QStringLiteral("the name is longer than %1 characters.");
const QString DefinitionCheck::NameTaken
    = QStringLiteral("another table definition is already named \u201c%1\u201d.");
const QString DefinitionCheck::ReplacesColorDefinition
    = QStringLiteral("it would replace the colour definition.");
const QString DefinitionCheck::TypeFamilyChanged = QStringLiteral(
    "tables are made from this definition, and its type \u201c%1\u201d may only change "
    "within its family, not to \u201c%2\u201d.");
const QString DefinitionCheck::TextShortened
    = QStringLiteral("its length %1 is shorter than the %2 characters stored already.");
const QString DefinitionCheck::DefaultImage = QStringLiteral("template");

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

bool isTextOrBigText(const QString& type)
{
    return type == TypeConstants::Text || type == TypeConstants::BigText;
}

qint64 wholeIn(const QVariant& value)
{
    return qint64(numberIn(value).value_or(0));
}

QString nameProblem(const QVariant& name)
{
    if (isAbsent(name) || name.toString().trimmed().isEmpty())
        return tr(DefinitionCheck::NameMissing);
    if (name.toString().size() > DefinitionCheck::MaximumNameLength)
        return tr(DefinitionCheck::NameTooLong).arg(DefinitionCheck::MaximumNameLength);
    return {};
}

// One column as the columns screen would save it (already normalised), and, over a
// definition in use, as its form would let it change.
QString downloadColumnProblem(const QVariantMap& column, const TemplateColumn* stored, bool inUse)
{
    if (QString problem = nameProblem(column.value(QStringLiteral("name"))); !problem.isEmpty())
        return problem;
    const QString type = column.value(kType).toString();
    if (type.isEmpty())
        return LocalizedStrings::InvalidType();
    const qint64 length = wholeIn(column.value(QStringLiteral("length")));
    if ((isTextOrBigText(type) || TypeConstants::isNumber(type)) && length <= 0)
        return LocalizedStrings::InvalidLength();
    if (TypeConstants::isList(type)
        && column.value(QStringLiteral("listvalues")).toString().trimmed().isEmpty())
        return LocalizedStrings::InvalidListValues();
    if (!stored)
        return {};
    const QString storedType = stored->type().toString();
    if (inUse && !DefinitionCheck::sameTypeFamily(storedType, type))
        return tr(DefinitionCheck::TypeFamilyChanged).arg(storedType, type);
    const qint64 storedLength = stored->length().toLongLong();
    if (isTextOrBigText(storedType) && isTextOrBigText(type) && length < storedLength)
        return tr(DefinitionCheck::TextShortened).arg(length).arg(storedLength);
    return {};
}

QString downloadProblem(const QVariantMap& definition, const QString& id)
{
    if (!DefinitionCheck::isGuidText(id))
        return tr(DefinitionCheck::IdNotGuid).arg(id);
    if (id.compare(DefaultContent::ColorListTemplateId, Qt::CaseInsensitive) == 0)
        return tr(DefinitionCheck::ReplacesColorDefinition);
    const QVariant name = definition.value(QStringLiteral("name"));
    if (QString problem = nameProblem(name); !problem.isEmpty())
        return problem;
    for (const Template* other : Template::getTemplates()) {
        if (other->name().toString() == name.toString()
            && other->id().toString().compare(id, Qt::CaseInsensitive) != 0)
            return tr(DefinitionCheck::NameTaken).arg(name.toString());
    }

    const QList<TemplateColumn*> stored = TemplateColumn::getColumns(id);
    const bool inUse = !stored.isEmpty() && UserTemplate::isTemplateUsed(id);
    QSet<QString> names;
    for (const TemplateColumn* column : stored)
        names.insert(column->name().toString());
    for (const QVariant& member : definition.value(kColumns).toList()) {
        const QVariantMap column = member.toMap();
        const QString columnId = idOf(column);
        if (!DefinitionCheck::isGuidText(columnId))
            return tr(DefinitionCheck::IdNotGuid).arg(columnId);
        const TemplateColumn* existing = TemplateColumn::getColumnForId(columnId, stored);
        if (existing)
            names.remove(existing->name().toString());
        QString problem = downloadColumnProblem(column, existing, inUse);
        // Column names are unique within their definition, kept columns included.
        const QString columnName = column.value(QStringLiteral("name")).toString();
        if (problem.isEmpty() && names.contains(columnName))
            problem = LocalizedStrings::DuplicateEntry();
        names.insert(columnName);
        if (!problem.isEmpty())
            return tr(DefinitionCheck::InColumn)
                .arg(columnName.isEmpty() ? columnId : columnName, problem);
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
    if (!DefinitionCheck::isPlainImageName(image))
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

// A name the themed images are looked up by: letters, digits, blanks, "-", "_" and ".",
// starting with a letter or digit; nothing that names a folder, a resource or a path.
bool DefinitionCheck::isPlainImageName(const QString& name)
{
    if (name.size() > MaximumImageNameLength)
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

QString DefinitionCheck::problemOf(const QVariantMap& definition, Source source)
{
    return refusal(definition, problemIn(definition, source));
}

QString DefinitionCheck::downloadProblemOf(const QVariantMap& definition)
{
    QString problem = problemIn(definition, Source::Download);
    if (problem.isEmpty())
        problem = downloadProblem(definition, idOf(definition));
    return refusal(definition, problem);
}

QString DefinitionCheck::refusal(const QVariantMap& definition, const QString& problem)
{
    if (problem.isEmpty())
        return problem;
    const QVariant name = definition.value(QStringLiteral("name"));
    const QString shown = name.typeId() == QMetaType::QString && !name.toString().isEmpty()
        ? name.toString()
        : idOf(definition);
    return tr(Refused).arg(shown, problem);
}

bool DefinitionCheck::isGuidText(const QString& text)
{
    if (text.size() != 36)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != u'-')
                return false;
        } else if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')
                       || (c >= u'A' && c <= u'F'))) {
            return false;
        }
    }
    return true;
}

QVariantMap DefinitionCheck::downloadable(const QVariantMap& entry)
{
    static const QStringList definitionMembers
        = { "id", "name", "descr", "category", "image", "tilescolumns", "isprotected" };
    static const QStringList columnMembers
        = { "id", "name", "type", "length", "precision", "listvalues", "mandatory", "intiles",
              "intable", "sortfield", "sortascending", "autocomplete", "reminder", "order" };
    QVariantMap kept;
    for (const QString& name : definitionMembers) {
        if (entry.contains(name))
            kept.insert(name, entry.value(name));
    }
    if (kept.value(kImage).toString().isEmpty())
        kept.insert(kImage, DefaultImage);
    const QVariant columns = entry.value(kColumns);
    if (columns.typeId() != QMetaType::QVariantList) {
        // Left for the check to refuse.
        if (columns.isValid())
            kept.insert(kColumns, columns);
        return kept;
    }
    QVariantList keptColumns;
    for (const QVariant& member : columns.toList()) {
        if (member.typeId() != QMetaType::QVariantMap) {
            keptColumns.append(member);
            continue;
        }
        const QVariantMap column = member.toMap();
        QVariantMap copy;
        for (const QString& name : columnMembers) {
            if (column.contains(name))
                copy.insert(name, column.value(name));
        }
        // The columns screen's normalisations, by type.
        const QString type = copy.value(kType).toString();
        const auto clear = [&copy](const char* name, const QVariant& value) {
            copy.insert(QLatin1String(name), value);
        };
        if (isTextOrBigText(type))
            clear("precision", 0);
        if (TypeConstants::isList(type)) {
            clear("length", 0);
            clear("precision", 0);
        }
        if (TypeConstants::isLink(type)) {
            clear("length", LinkLength);
            clear("precision", 0);
            copy.remove(QStringLiteral("listvalues"));
        }
        if (TypeConstants::isDate(type) || TypeConstants::isBoolean(type)) {
            clear("length", 0);
            clear("precision", 0);
            copy.remove(QStringLiteral("listvalues"));
        }
        keptColumns.append(copy);
    }
    kept.insert(kColumns, keptColumns);
    return kept;
}

bool DefinitionCheck::sameTypeFamily(const QString& a, const QString& b)
{
    return a == b || (TypeConstants::isText(a) && TypeConstants::isText(b))
        || (TypeConstants::isDate(a) && TypeConstants::isDate(b))
        || (TypeConstants::isNumber(a) && TypeConstants::isNumber(b))
        || (TypeConstants::isBoolean(a) && TypeConstants::isBoolean(b));
}
