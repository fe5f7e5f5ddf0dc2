// What the store makes of files it did not write the usual way: values of other kinds,
// tables of another shape, read-only folders and a file-size limit.
#include "StoreFixture.h"
#include "StoreSql.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace storetest;

namespace {

// The warnings written while it lives.
class WarningLog {
public:
    WarningLog() { m_previous = qInstallMessageHandler(&WarningLog::handle); }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    static QStringList& lines()
    {
        static QStringList collected;
        return collected;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtWarningMsg)
            lines() << message;
    }
    QtMessageHandler m_previous = nullptr;
};

QHash<QString, cd::ManagedObject*> byId(const QList<cd::ManagedObject*>& objects)
{
    QHash<QString, cd::ManagedObject*> found;
    for (auto* object : objects)
        found.insert(object->value("id").toString(), object);
    return found;
}

} // namespace

TEST_F(StoreTest, StoredValuesOfAnotherKindReadAsNoValueAndAreLogged)
{
    make("Rows", { { "id", "text order" }, { "order", 1 } });
    make("Rows", { { "id", "huge order" }, { "order", 2 } });
    make("Rows", { { "id", "blob json" }, { "json", "{}" } });
    make("Rows", { { "id", "fine" }, { "order", 7 }, { "json", "{}" }, { "ctimestamp", 3 } });
    make("Database", { { "id", "D1" }, { "issystem", true } });
    ASSERT_TRUE(context->save());
    context.reset();
    ASSERT_TRUE(coordinator->removePersistentStore(store));
    runSql(storeUrl().toLocalFile(),
        "UPDATE \"Rows\" SET \"order\" = 'abc' WHERE \"id\" = 'text order';"
        "UPDATE \"Rows\" SET \"order\" = 1e300 WHERE \"id\" = 'huge order';"
        "UPDATE \"Rows\" SET \"json\" = X'C3FF00' WHERE \"id\" = 'blob json';"
        "UPDATE \"Database\" SET \"issystem\" = 'yes';");

    WarningLog::lines().clear();
    WarningLog log;
    auto reader = reopen();
    const auto rows = byId(reader->executeFetchRequest(cd::FetchRequest("Rows")));
    ASSERT_EQ(rows.size(), 4);
    EXPECT_FALSE(rows["text order"]->value("order").isValid()) << "not an invented 0";
    EXPECT_FALSE(rows["huge order"]->value("order").isValid()) << "not INT64_MAX";
    EXPECT_FALSE(rows["blob json"]->value("json").isValid()) << "not replacement characters";
    EXPECT_EQ(rows["fine"]->value("order"), QVariant(qlonglong(7)));
    EXPECT_EQ(rows["fine"]->value("json"), "{}");
    EXPECT_EQ(rows["fine"]->value("ctimestamp"), 3.0);
    const auto databases = reader->executeFetchRequest(cd::FetchRequest("Database"));
    ASSERT_EQ(databases.size(), 1);
    EXPECT_FALSE(databases[0]->value("issystem").isValid());

    // Values read by name go the same way.
    cd::FetchRequest orders("Rows");
    orders.setResultType(cd::FetchRequest::ResultType::Dictionary);
    orders.setPropertiesToFetch({ "id", "order" });
    orders.setSortDescriptors({ { "id", true } });
    const auto values = reader->executeDictionaryFetchRequest(orders);
    ASSERT_EQ(values.size(), 4);
    EXPECT_EQ(values[1]["order"], QVariant(qlonglong(7)));
    EXPECT_FALSE(values[2]["order"].isValid());
    EXPECT_FALSE(values[3]["order"].isValid());
    EXPECT_EQ(WarningLog::lines().filter("reads as no value").size(), 6)
        << WarningLog::lines().join('\n').toStdString();
}

TEST(StoreSchema, AStoreWhoseTablesDoNotMatchTheModelIsRefusedAndLeftUntouched)
{
    const QByteArray metadata = "CREATE TABLE \"_metadata\" (\"key\" TEXT PRIMARY KEY, \"value\" "
                                "TEXT);";
    const QByteArray databaseColumns = "\"ctimestamp\" REAL, \"descr\" TEXT, \"id\" TEXT, "
                                       "\"issystem\" INTEGER, \"mtimestamp\" REAL";
    const QList<std::pair<QByteArray, QString>> files {
        { "CREATE TABLE \"Database\" (\"_pk\" TEXT, " + databaseColumns
                + ", \"name\" TEXT); INSERT INTO \"Database\" (\"_pk\", \"id\") VALUES "
                  "('a', 'D1'), ('b', 'D2');",
            "no integer key column" },
        { "CREATE TABLE \"Database\" (\"ctimestamp\" REAL, \"id\" TEXT);",
            "no integer key column" },
        { "CREATE TABLE \"Database\" (\"_pk\" INTEGER PRIMARY KEY, " + databaseColumns
                + ", \"name\" BLOB);",
            "\"name\" of \"Database\" is of type BLOB" },
        { "CREATE TABLE \"Rows\" (\"_pk\" INTEGER PRIMARY KEY, \"order\" TEXT);",
            "\"order\" of \"Rows\" is of type TEXT" },
        { "CREATE TABLE \"Rows\" (\"_pk\" INTEGER PRIMARY KEY, \"id\" TEXT NOT NULL);",
            "\"id\" of \"Rows\" refuses empty values" },
        { "CREATE TABLE \"Rows\" (\"_pk\" INTEGER PRIMARY KEY, \"owner\" TEXT NOT NULL);",
            "\"owner\" of \"Rows\" needs a value" },
        { "CREATE VIEW \"Rows\" AS SELECT 1 AS \"_pk\";", "\"Rows\" is a view" },
    };
    int n = 0;
    for (const auto& [schema, reason] : files) {
        SCOPED_TRACE(schema.toStdString());
        const QString path = testsupport::homePath() + QString("/odd%1.sqlite").arg(++n);
        runSql(path, metadata + schema);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        cd::PersistentStoreCoordinator coordinator(kivotabModel());
        platform::Error error;
        EXPECT_FALSE(coordinator.addPersistentStore(
            cd::SQLiteStoreType, {}, QUrl::fromLocalFile(path), migratingOptions(), &error));
        EXPECT_EQ(error.code(), cd::PersistentStoreIncompatibleSchemaError);
        EXPECT_TRUE(error.localizedDescription().contains(reason))
            << error.localizedDescription().toStdString();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before) << "the file is left as it was";
        EXPECT_FALSE(QFile::exists(path + "-wal"));
    }

    // Columns the model does not know are left alone when they take empty values.
    const QString path = testsupport::homePath() + "/wider.sqlite";
    runSql(path,
        metadata + "CREATE TABLE \"Database\" (\"_pk\" INTEGER PRIMARY KEY AUTOINCREMENT, "
            + databaseColumns + ", \"name\" VARCHAR(80), \"colour\" TEXT NOT NULL DEFAULT '', "
            + "\"note\" TEXT);");
    cd::PersistentStoreCoordinator coordinator(kivotabModel());
    platform::Error error;
    EXPECT_TRUE(coordinator.addPersistentStore(
        cd::SQLiteStoreType, {}, QUrl::fromLocalFile(path), migratingOptions(), &error))
        << error.localizedDescription().toStdString();
}

TEST(StoreFile, AReadOnlyStoreOpensInAFolderNobodyMayWriteTo)
{
    const QString folder = testsupport::homePath() + "/mounted";
    const QUrl url = QUrl::fromLocalFile(folder + "/Store.sqlite");
    std::string said;
    const int result = runUnprivileged(folder, &said, [&] {
        {
            auto context = openContext(url);
            if (!context)
                return 1;
            context->insertNewObject("Database")->setValue("name", "Stored");
            if (!context->save())
                return 2;
        }
        if (!QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner))
            return 3;
        const QVariantMap readOnly { { cd::ReadOnlyPersistentStoreOption, true } };
        {
            auto context = openContext(url, readOnly);
            if (!context)
                return 4;
            const auto found = context->executeFetchRequest(cd::FetchRequest("Database"));
            if (found.size() != 1 || found[0]->value("name") != "Stored")
                return 5;
            found[0]->setValue("name", "Changed");
            if (context->save())
                return 6;
        }
        if (!cd::PersistentStoreCoordinator::metadataForPersistentStoreOfType(
                cd::SQLiteStoreType, url))
            return 7;
        if (QDir(folder).entryList(QDir::Files) != QStringList { "Store.sqlite" })
            return 8;
        // Without the read-only option the store needs to write beside its file.
        if (openContext(url))
            return 9;
        return 0;
    });
    EXPECT_EQ(result, 0) << said;
}

TEST_F(StoreTest, AWriteBeyondTheFileSizeLimitFailsTheSaveWithoutEndingTheProcess)
{
    make("Database", { { "id", "D1" } });
    ASSERT_TRUE(context->save());
    testsupport::ChildProcess child;
    ASSERT_TRUE(child.startThisTest([&] {
        rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 256 * 1024;
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 1;
        const QString text(1000, 'x');
        for (int i = 0; i < 2000; ++i)
            make("Rows", { { "id", QString::number(i) }, { "json", text } });
        platform::Error error;
        if (context->save(&error))
            return 2;
        return error.code() == cd::PersistentStoreSaveError ? 0 : 3;
    })) << child.report();
    ASSERT_TRUE(child.waitForExit()) << child.report();
    ASSERT_TRUE(child.exited()) << child.report();
    EXPECT_EQ(child.exitCode(), 0) << child.report();

    // The child's store, made as this test's was.
    auto reopened = openContext(QUrl::fromLocalFile(child.home() + "/Store.sqlite"));
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->countForFetchRequest(cd::FetchRequest("Rows")), 0u);
    EXPECT_EQ(reopened->countForFetchRequest(cd::FetchRequest("Database")), 1u);
}
