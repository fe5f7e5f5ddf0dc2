#pragma once

#include "model/ModelRegistry.h"

#include <QByteArray>

// A named database of the user: it holds user tables (UserTemplate). One system
// database, "ColorsKivo", holds the colour table. Every operation works on the
// application's one main-queue context.
class Database : public platform::coredata::ManagedObject {
    Q_OBJECT
    Q_CLASSINFO("NSNumber", "ctimestamp,issystem,mtimestamp")
    Q_PROPERTY(QVariant ctimestamp READ ctimestamp WRITE setCtimestamp)
    Q_PROPERTY(QVariant descr READ descr WRITE setDescr)
    Q_PROPERTY(QVariant id READ id WRITE setId)
    Q_PROPERTY(QVariant issystem READ issystem WRITE setIssystem)
    Q_PROPERTY(QVariant mtimestamp READ mtimestamp WRITE setMtimestamp)
    Q_PROPERTY(QVariant name READ name WRITE setName)

public:
    using ManagedObject::ManagedObject;

    KIVO_ATTRIBUTE(ctimestamp, setCtimestamp)
    KIVO_ATTRIBUTE(descr, setDescr)
    KIVO_ATTRIBUTE(id, setId)
    KIVO_ATTRIBUTE(issystem, setIssystem)
    KIVO_ATTRIBUTE(mtimestamp, setMtimestamp)
    KIVO_ATTRIBUTE(name, setName)

    // Every database, the system database included.
    static QList<Database*> getDatabases();
    // The database with the id when exactly one has it, else null.
    static Database* getDatabase(const QString& databaseId);
    // A new database, not yet in the store (it enters at its first save). Null while no
    // store is loaded.
    [[nodiscard]] static Database* add();
    // Stamps the modification time and commits the whole context.
    [[nodiscard]] bool saveDatabase();
    // Deletes the database alone (its tables and rows stay) and commits.
    [[nodiscard]] static bool deleteDatabase(Database* database);

    // Loads the default table definitions, the system database, its tables and colours;
    // false when any of it could not be loaded or saved.
    [[nodiscard]] static bool loadDefaultTemplates();
    // Makes, in the database, a user table for every system definition that has none there.
    [[nodiscard]] static bool loadDefaultTemplatesToDatabase(const QString& databaseId);
    // Adds the default colours missing from the database's colour table.
    [[nodiscard]] static bool loadDefaultColors(const QString& databaseId);
    // Deletes every object of every entity; true when all five deletions succeed.
    [[nodiscard]] static bool cleanDatabase();

    // The JSON record form of every database.
    static QByteArray toJSON();
    static QString entityName();
};
