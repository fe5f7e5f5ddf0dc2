#include "model/DefaultContent.h"

#include "model/Database.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/Exception.h"
#include "platform/Folders.h"
#include "style/NamedColors.h"
#include "style/UIColor_Expanded.h"
#include "utilities/data/RunTime.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/LocalizedStrings.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>

const QString DefaultContent::SystemDatabaseId
    = QStringLiteral("0A839837-0816-4DEE-9490-3F22311F4F9E");
const QString DefaultContent::SystemDatabaseName = QStringLiteral("ColorsKivo");
const QString DefaultContent::SystemDatabaseDescription = QStringLiteral("ColorsKivo Database");
const QString DefaultContent::ColorListTemplateId
    = QStringLiteral("5139F808-3946-49F7-8E65-F38461B82762");
const QString DefaultContent::ColorNameColumnId
    = QStringLiteral("B66B014D-4E43-4A8C-8F90-E11F58414857");
const QString DefaultContent::ColorValueColumnId
    = QStringLiteral("3472FACA-51AD-40A3-8CFB-F4CCFF726593");
const QString DefaultContent::ColorHexColumnId
    = QStringLiteral("32FF1605-C767-4659-B4E0-67832B84438E");
const QString DefaultContent::ResourceName = QStringLiteral("templates");
const QString DefaultContent::ResourceType = QStringLiteral("json");
const QString DefaultContent::IdKey = QStringLiteral("id");
const QString DefaultContent::ColumnsKey = QStringLiteral("columns");

const QString DefaultContent::NotSaved
    = QStringLiteral("The table definition \u201c%1\u201d could not be saved.");

namespace {

void tell(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
}

} // namespace

const QStringList& DefaultContent::colorNames()
{
    static const QStringList names { QStringLiteral("White"), QStringLiteral("DarkGrey"),
        QStringLiteral("LightGrey"), QStringLiteral("Grey"), QStringLiteral("Blue"),
        QStringLiteral("Red"), QStringLiteral("RubyRed"), QStringLiteral("Green"),
        QStringLiteral("NeonPurple"), QStringLiteral("MossGreen"), QStringLiteral("Purple"),
        QStringLiteral("Magenta"), QStringLiteral("Teal"), QStringLiteral("Lime"),
        QStringLiteral("Brown"), QStringLiteral("Pink"), QStringLiteral("Orange") };
    return names;
}

bool DefaultContent::loadDefaultTemplates(QStringList* refusals)
{
    QFile file(platform::Folders::resourcePath(ResourceName, ResourceType));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return loadTemplates(file.readAll(), refusals);
}

bool DefaultContent::loadTemplates(const QByteArray& json, QStringList* refusals)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return false;

    Database* system = nullptr;
    for (Database* database : Database::getDatabases()) {
        if (database->id().toString() == SystemDatabaseId) {
            system = database;
            break;
        }
    }
    if (!system) {
        system = Database::add();
        if (!system)
            return false;
        system->setId(SystemDatabaseId);
        system->setName(SystemDatabaseName);
        system->setDescr(SystemDatabaseDescription);
        system->setIssystem(true);
        if (!system->saveDatabase()) {
            KivoLib::rollback();
            return false;
        }
    }

    // A definition that is refused or not saved leaves the others to load.
    bool stored = true;
    for (const QJsonValue& element : document.array()) {
        QString reason;
        const Template* definition = element.isObject()
            ? storeTemplate(
                element.toObject().toVariantMap(), DefinitionCheck::Source::Bundle, &reason)
            : nullptr;
        if (definition)
            continue;
        if (!element.isObject())
            reason = LocalizedStrings::getLocalizedString(DefinitionCheck::Refused)
                         .arg(QString(),
                             LocalizedStrings::getLocalizedString(DefinitionCheck::NotAnObject));
        DebugHelper::singleton().logMessage(reason);
        if (refusals)
            refusals->append(reason);
        stored = false;
    }
    const bool tables = loadDefaultTemplatesToDatabase(SystemDatabaseId);
    const bool colours = loadDefaultColors(SystemDatabaseId);
    return stored && tables && colours;
}

Template* DefaultContent::storeTemplate(
    const QVariantMap& object, DefinitionCheck::Source source, QString* reason)
{
    const QString problem = DefinitionCheck::problemOf(object, source);
    if (!problem.isEmpty()) {
        tell(reason, problem);
        return nullptr;
    }
    const QString templateId = object.value(IdKey).toString();
    const QString notSaved = LocalizedStrings::getLocalizedString(NotSaved).arg(
        object.value(QStringLiteral("name")).toString().isEmpty()
            ? templateId
            : object.value(QStringLiteral("name")).toString());
    // Everything is changed in the context first and committed once: the definition is
    // stored with all its columns or, should anything fail, not at all.
    const auto fail = [&] {
        KivoLib::rollback();
        tell(reason, notSaved);
        return nullptr;
    };
    const auto stamp = [](platform::coredata::ManagedObject* entity, bool isNew) {
        entity->setValue(QStringLiteral("mtimestamp"), ModelRegistry::now());
        if (isNew)
            KivoLib::insertEntity(entity);
    };
    const auto copyMembers = [](const QVariantMap& members, QObject* entity) {
        try {
            RunTime::classFromDictionary(members, entity->metaObject(), entity);
            return true;
        } catch (const platform::Exception& exception) {
            DebugHelper::singleton().logException(exception, false);
            return false;
        }
    };

    Template* definition = Template::getTemplate(templateId);
    const bool newDefinition = !definition;
    if (newDefinition) {
        definition = Template::add();
        if (!definition)
            return fail();
        definition->setId(templateId);
    } else if (!KivoLib::isDataOK(definition)) {
        return fail();
    }
    if (!copyMembers(object, definition))
        return fail();
    // The id is the look-up key: a member may not move it.
    definition->setId(templateId);
    stamp(definition, newDefinition);

    const QList<TemplateColumn*> existing = TemplateColumn::getColumns(templateId);
    for (const QVariant& member : object.value(ColumnsKey).toList()) {
        const QVariantMap columnObject = member.toMap();
        const QString columnId = columnObject.value(IdKey).toString();
        TemplateColumn* column = TemplateColumn::getColumnForId(columnId, existing);
        const bool newColumn = !column;
        if (newColumn) {
            column = TemplateColumn::add(templateId);
            if (!column)
                return fail();
            column->setId(columnId);
        } else if (!KivoLib::isDataOK(column)) {
            return fail();
        }
        if (!copyMembers(columnObject, column))
            return fail();
        // Neither may a member move the column to another definition.
        column->setId(columnId);
        column->setTemplate_id(templateId);
        stamp(column, newColumn);
    }
    if (!KivoLib::commit())
        return fail();
    return definition;
}

bool DefaultContent::loadDefaultTemplatesToDatabase(const QString& databaseId)
{
    bool saved = true;
    const QList<Template*> definitions = Template::getTemplates();
    const QList<UserTemplate*> tables = UserTemplate::getUserTemplates(databaseId);
    for (Template* definition : definitions) {
        if (!definition->issystem().toBool())
            continue;
        const QString definitionId = definition->id().toString();
        // A table already made from the definition is the user's: its name and description
        // stay as they are.
        if (std::any_of(tables.cbegin(), tables.cend(), [&](const UserTemplate* table) {
                return table->template_id().toString() == definitionId;
            }))
            continue;
        UserTemplate* table = UserTemplate::add(databaseId);
        if (!table)
            return false;
        table->setIsprotected(
            definition->isprotected().isNull() ? QVariant(false) : definition->isprotected());
        table->setTemplate_id(definitionId);
        table->setName(definition->name());
        table->setDescr(definition->descr());
        if (!table->saveUserTemplate()) {
            // Not left in the context for the next save to store unasked.
            KivoLib::rollback();
            saved = false;
        }
    }
    return saved;
}

bool DefaultContent::loadDefaultColors(const QString& databaseId)
{
    // The colour table is the one made from the colour-list definition, wherever the user
    // has moved it; the first table may be any other.
    UserTemplate* colours = nullptr;
    for (UserTemplate* table : UserTemplate::getUserTemplates(databaseId)) {
        if (table->template_id().toString() == ColorListTemplateId) {
            colours = table;
            break;
        }
    }
    // Without it there is nowhere to put the colours.
    if (!colours)
        return true;
    // A protected table's rows can be neither read nor written without its password:
    // colours added in the clear would never read back.
    if (colours->isprotected().toBool())
        return true;
    const QString tableId = colours->id().toString();
    const QList<TemplateColumn*> columns = TemplateColumn::getColumns(ColorListTemplateId);

    // Colours already in the table (by name) are not added again.
    QSet<QString> present;
    for (Rows* row : Rows::getRows(tableId, columns, {}, {}, std::nullopt))
        present.insert(row->getData(columns, std::nullopt).value(ColorNameColumnId).toString());

    for (const QString& name : colorNames()) {
        if (present.contains(name))
            continue;
        const auto color = UIColor_Expanded::themeColor(name);
        if (!color)
            continue;
        Rows* row = Rows::add(tableId);
        if (!row)
            return false;
        QVariantMap values;
        for (const TemplateColumn* column : columns) {
            const QString columnId = column->id().toString();
            if (columnId == ColorNameColumnId)
                values.insert(columnId, name);
            else if (columnId == ColorValueColumnId)
                values.insert(columnId, UIColor_Expanded::stringValue(*color));
            else if (columnId == ColorHexColumnId)
                values.insert(columnId, UIColor_Expanded::hexStringValue(*color));
        }
        row->updateData(values, columns, std::nullopt);
        if (!row->saveRows()) {
            KivoLib::rollback();
            return false;
        }
        present.insert(name);
    }
    return true;
}
