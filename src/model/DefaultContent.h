#pragma once

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

    // Reads the bundled definitions and loads everything. A resource that is missing or
    // does not parse as a JSON array loads nothing, not even the system database.
    static void loadDefaultTemplates();
    // The same from the given JSON text; false when it does not parse.
    static bool loadTemplates(const QByteArray& json);
    // Stores one definition object (with its "columns"): the definition and each column
    // looked up by "id", made when missing, then refreshed from the object and saved.
    // Null when the object has no id or the store refuses it. Also used for downloads.
    static Template* storeTemplate(const QVariantMap& definition);
    static void loadDefaultTemplatesToDatabase(const QString& databaseId);
    // Adds to the database's colour table (its table made from the colour-list definition)
    // the default colours whose name it lacks; nothing without one, or when it is protected.
    static void loadDefaultColors(const QString& databaseId);

    static const QString IdKey; // "id"
    static const QString ColumnsKey; // "columns"
};
