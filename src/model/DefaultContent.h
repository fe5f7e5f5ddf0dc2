#pragma once

#include "model/DefinitionCheck.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class Template;

// The default content: the table definitions bundled as the resource "templates.json",
// the system database "ColorsKivo" with a user table for every system definition, and
// the default colours in its colour table. Loading again refreshes what is there and adds
// what is missing; it never duplicates.
class DefaultContent {
public:
    DefaultContent() = delete;

    static const QString SystemDatabaseId; // the system database
    static const QString SystemDatabaseName; // "ColorsKivo"
    static const QString SystemDatabaseDescription; // "ColorsKivo Database"
    static const QString ColorListTemplateId; // the colour-list definition
    static const QString ColorNameColumnId; // its colour-name column
    static const QString ColorValueColumnId; // its colour-value column (braces text)
    static const QString ColorHexColumnId; // its hexadecimal-colour column
    static const QString ResourceName; // "templates"
    static const QString ResourceType; // "json"

    // The seventeen default colour names, in the order they are added.
    static const QStringList& colorNames();

    // Reads the bundled definitions and loads everything; false when the resource is
    // missing or does not parse as a JSON array (then nothing is loaded, not even the
    // system database), or when anything was refused or could not be saved (what could
    // be was). The reasons for refused definitions are logged and, when asked, listed.
    [[nodiscard]] static bool loadDefaultTemplates(QStringList* refusals = nullptr);
    // The same from the given JSON text.
    [[nodiscard]] static bool loadTemplates(
        const QByteArray& json, QStringList* refusals = nullptr);
    // Checks one definition object (with its "columns") and stores it whole: the
    // definition and each column looked up by "id", made when missing, refreshed from the
    // object, then committed together. Null, with the reason, when the check refuses it
    // or the store does not take it; nothing of it is then stored. A downloaded
    // definition may not be a system one.
    [[nodiscard]] static Template* storeTemplate(
        const QVariantMap& definition, DefinitionCheck::Source source, QString* reason = nullptr);
    // Makes, in the database, a user table for every system definition that has none there;
    // tables already made are left as they are. False when one could not be saved.
    [[nodiscard]] static bool loadDefaultTemplatesToDatabase(const QString& databaseId);
    // Adds to the database's colour table (its table made from the colour-list definition)
    // the default colours whose name it lacks; nothing without one, or when it is
    // protected. False when a colour could not be saved.
    [[nodiscard]] static bool loadDefaultColors(const QString& databaseId);

    // A definition that passed its check but was not taken by the store.
    static const QString NotSaved; // "The table definition “%1” could not be saved."
    static const QString IdKey; // "id"
    static const QString ColumnsKey; // "columns"
};
