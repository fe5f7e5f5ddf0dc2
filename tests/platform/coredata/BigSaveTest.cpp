#include "StoreFixture.h"
#include "StoreSql.h"

#include "platform/Exception.h"
#include "platform/NotificationCenter.h"

#include <QFileInfo>

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace storetest;

namespace {

// Enough rows for every road a big save takes: rows inserted by the statement-full, an
// empty table's indexes built after its rows.
constexpr int BigCount = 5000;

// Every row of the table as the file holds it, key first, in key order.
QStringList tableRows(const QString& path, const char* table)
{
    sqlite3* db = nullptr;
    QStringList rows;
    if (sqlite3_open_v2(path.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return { QStringLiteral("cannot open") };
    }
    sqlite3_stmt* select = nullptr;
    const QByteArray sql = QByteArray("SELECT * FROM \"") + table + "\" ORDER BY \"_pk\"";
    sqlite3_prepare_v2(db, sql.constData(), -1, &select, nullptr);
    while (sqlite3_step(select) == SQLITE_ROW) {
        QStringList columns;
        for (int i = 0; i < sqlite3_column_count(select); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select, i));
            columns << (text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
        }
        rows << columns.join('|');
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return rows;
}

// What SQLite answers to the query's first column, one text per row.
QStringList answers(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    QStringList rows;
    sqlite3_open_v2(path.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &select, nullptr);
    while (sqlite3_step(select) == SQLITE_ROW)
        rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)));
    sqlite3_finalize(select);
    sqlite3_close(db);
    return rows;
}

QStringList indexes(const QString& path)
{
    return answers(path,
        "SELECT \"sql\" FROM \"sqlite_master\" WHERE \"type\" = 'index' AND \"sql\" IS NOT NULL "
        "ORDER BY 1");
}

class BigSaveTest : public StoreTest {
protected:
    QString path() const { return storeUrl().toLocalFile(); }

    void addRows(const QString& prefix, int count)
    {
        const QString payload(300, QLatin1Char('x'));
        for (int i = 0; i < count; ++i) {
            make("Rows",
                { { "id", prefix + QString::number(i) }, { "json", payload + QString::number(i) },
                    { "order", i }, { "usertemplate_id", "U" }, { "ctimestamp", 1.5 * i } });
        }
    }

    void deleteAll(const QString& entity)
    {
        for (auto* object : context->executeFetchRequest(cd::FetchRequest(entity)))
            context->deleteObject(object);
    }

    // New content for replaceAllObjects: rows with ids prefix0 .. prefix<count - 1>.
    cd::ManagedObjectContext::EntityContent newRows(const QString& prefix, int count)
    {
        const cd::EntityDescription* entity = model->entity("Rows");
        cd::ManagedObjectContext::EntityContent content { entity, {} };
        for (int i = 0; i < count; ++i) {
            QList<QVariant> values(entity->attributes().size());
            values[entity->indexOfAttribute("id")] = prefix + QString::number(i);
            // Of another type than the attribute's: made what setValue would make of it.
            values[entity->indexOfAttribute("order")] = i;
            values[entity->indexOfAttribute("json")] = QString(200, QLatin1Char('y'));
            content.records.push_back(values);
        }
        return content;
    }
};

TEST_F(BigSaveTest, DeletingEveryRowOfAnEntityInOneStoreTakesThoseRowsOnly)
{
    // A second store, filled through a coordinator of its own, then added to ours.
    const QUrl otherUrl = storeUrl("Other.sqlite");
    {
        auto other = openContext(otherUrl);
        ASSERT_TRUE(other);
        for (int i = 0; i < 30; ++i)
            other->insertNewObject("Rows")->setValue("id", QString("B%1").arg(i));
        ASSERT_TRUE(other->save());
    }
    ASSERT_TRUE(
        coordinator->addPersistentStore(cd::SQLiteStoreType, {}, otherUrl, migratingOptions()));
    addRows("A", 40);
    make("Database", { { "id", "D1" } });
    ASSERT_TRUE(context->save());

    // Every row of this store's table, none of the other's: the whole table goes at once.
    const auto rows = context->executeFetchRequest(cd::FetchRequest("Rows"));
    ASSERT_EQ(rows.size(), 70);
    qint64 largestKey = 0;
    for (auto* row : rows) {
        if (row->objectID().storeIdentifier == store->identifier()) {
            largestKey = std::max(largestKey, row->objectID().key);
            context->deleteObject(row);
        }
    }
    auto* fresh = make("Rows", { { "id", "new" } });
    ASSERT_TRUE(context->save());

    EXPECT_EQ(tableRows(path(), "Rows").size(), 1);
    EXPECT_TRUE(tableRows(path(), "Rows").value(0).contains("|new|"));
    EXPECT_EQ(tableRows(path(), "Database").size(), 1);
    EXPECT_EQ(tableRows(otherUrl.toLocalFile(), "Rows").size(), 30);
    // Keys of deleted rows are never given again: old identities stay dead.
    EXPECT_GT(fresh->objectID().key, largestKey);
    for (auto* row : rows)
        EXPECT_EQ(row->isFault(), row->objectID().storeIdentifier == store->identifier());
}

TEST_F(BigSaveTest, ADeletionThatMissesARowAddedUnderneathLeavesThatRow)
{
    addRows("R", 20);
    ASSERT_TRUE(context->save());
    const auto rows = context->executeFetchRequest(cd::FetchRequest("Rows"));
    ASSERT_EQ(rows.size(), 20);
    {
        // Another coordinator takes one of the rows and adds its own: the table holds as
        // many rows as are deleted here, but not the same ones.
        auto other = openContext(storeUrl());
        ASSERT_TRUE(other);
        auto theirs = other->executeFetchRequest(cd::FetchRequest("Rows"));
        ASSERT_EQ(theirs.size(), 20);
        other->deleteObject(theirs.first());
        other->insertNewObject("Rows")->setValue("id", "theirs");
        ASSERT_TRUE(other->save());
    }
    for (auto* row : rows)
        context->deleteObject(row);
    ASSERT_TRUE(context->save());
    const QStringList left = tableRows(path(), "Rows");
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(left.first().contains("|theirs|"));
}

TEST_F(BigSaveTest, RowsSavedByTheThousandKeepTheirKeysValuesAndIndexes)
{
    const QStringList indexesBefore = indexes(path());
    ASSERT_EQ(indexesBefore.filter("\"Rows\"").size(), 2);
    addRows("R", BigCount);
    ASSERT_TRUE(context->save());
    // Then a run that is no multiple of a statement's rows, into a table that has rows.
    addRows("S", 37);
    ASSERT_TRUE(context->save());

    EXPECT_EQ(indexes(path()), indexesBefore);
    EXPECT_EQ(answers(path(), "PRAGMA integrity_check"), QStringList { "ok" });
    // The key each object was given is the key of its own row.
    const auto rows = context->executeFetchRequest(cd::FetchRequest("Rows"));
    ASSERT_EQ(rows.size(), BigCount + 37);
    auto other = reopen();
    qint64 previous = 0;
    for (auto* row : rows) {
        EXPECT_GT(row->objectID().key, previous);
        previous = row->objectID().key;
    }
    for (int i = 0; i < rows.size(); i += 97) {
        SCOPED_TRACE(i);
        platform::Error error;
        auto* stored = other->existingObjectWithID(rows[i]->objectID(), &error);
        ASSERT_TRUE(stored) << error.localizedDescription().toStdString();
        EXPECT_EQ(stored->values(), rows[i]->values());
    }
    EXPECT_EQ(rows.last()->value("id"), "S36");
    // The index serves the usual lookups.
    EXPECT_EQ(answers(path(), "SELECT \"order\" FROM \"Rows\" WHERE \"id\" = 'R4321'"),
        QStringList { "4321" });
}

TEST_F(BigSaveTest, TextsOfABigSaveAreStoredAsThoseOfASmallOne)
{
    // Texts of every kind SQLite is given differently: empty, null, non-ASCII, with a '?',
    // with a lone surrogate (written as UTF-16), long, missing.
    const QList<QVariant> texts { QString(""), QVariant(), QString("é ü € 中文 😀"),
        QString("what?"), QString("lone ") + QChar(0xd800) + "?", QString(),
        QVariant(QMetaType::fromType<QString>()), QString(5000, QLatin1Char('x')) };
    const int kinds = int(texts.size());
    // Row i holds the texts of row i % kinds.
    const auto add = [&](const QString& prefix, int count) {
        for (int i = 0; i < count; ++i) {
            auto* row = make("Rows", { { "id", prefix + QString::number(i) }, { "order", i } });
            row->setValue("json", texts[i % kinds]);
            if (i % 2 == 1)
                row->setValue("usertemplate_id", texts[(i + 3) % kinds]);
        }
    };
    // One by one, then by the thousand.
    add("S", kinds);
    ASSERT_TRUE(context->save());
    add("B", BigCount);
    ASSERT_TRUE(context->save());

    const auto stored = [&](const QString& id) {
        const QByteArray sql = "SELECT typeof(\"json\") || ':' || hex(\"json\") || '|' || "
                               "typeof(\"usertemplate_id\") || ':' || hex(\"usertemplate_id\") "
                               "FROM \"Rows\" WHERE \"id\" = '"
            + id.toUtf8() + "'";
        const QStringList found = answers(path(), sql.constData());
        EXPECT_EQ(found.size(), 1);
        return found.value(0);
    };
    QStringList small;
    for (int i = 0; i < kinds; ++i)
        small << stored("S" + QString::number(i));
    EXPECT_TRUE(small[4].startsWith("text:")) << small[4].toStdString();
    EXPECT_TRUE(small[1].startsWith("null:")) << small[1].toStdString();
    EXPECT_TRUE(small[0].startsWith("text:")) << small[0].toStdString();
    for (int i = 0; i < BigCount; i += 7) {
        SCOPED_TRACE(i);
        EXPECT_EQ(stored("B" + QString::number(i)), small[i % kinds]);
    }
    EXPECT_EQ(answers(path(), "PRAGMA integrity_check"), QStringList { "ok" });
}

TEST_F(BigSaveTest, ABigSaveThatCannotBeWrittenLeavesEveryRowAsItWas)
{
    addRows("R", BigCount);
    make("Database", { { "id", "D1" }, { "name", "Kept" } });
    ASSERT_TRUE(context->save());
    const QStringList rowsBefore = tableRows(path(), "Rows");
    const QStringList databasesBefore = tableRows(path(), "Database");
    const QStringList indexesBefore = indexes(path());
    ASSERT_EQ(rowsBefore.size(), BigCount);

    // What a restore saves: every row replaced by new ones.
    deleteAll("Rows");
    addRows("N", BigCount);
    testsupport::ChildProcess child;
    ASSERT_TRUE(child.startThisTest([&] {
        // The store's files may not grow: the commit fails as on a full disk.
        rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlim_t unlimited = limit.rlim_cur;
        limit.rlim_cur = rlim_t(QFileInfo(path() + "-wal").size() + 4096);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        platform::Error error;
        if (context->save(&error) || error.isNull())
            return 11;
        limit.rlim_cur = unlimited;
        setrlimit(RLIMIT_FSIZE, &limit);
        if (tableRows(path(), "Rows") != rowsBefore)
            return 12;
        if (tableRows(path(), "Database") != databasesBefore || indexes(path()) != indexesBefore)
            return 13;
        // The context kept its changes and saves them once it can.
        if (context->insertedObjects().size() != BigCount
            || context->deletedObjects().size() != BigCount)
            return 14;
        if (!context->save())
            return 15;
        const QStringList after = tableRows(path(), "Rows");
        if (after.size() != BigCount || !after.first().contains("|N0|")
            || tableRows(path(), "Database") != databasesBefore || indexes(path()) != indexesBefore)
            return 16;
        return 0;
    })) << child.report();
    ASSERT_TRUE(child.waitForExit()) << child.report();
    ASSERT_TRUE(child.exited()) << child.report();
    EXPECT_EQ(child.exitCode(), 0) << child.report();
}

TEST_F(BigSaveTest, ABigSaveRefusedByTheStoreLeavesEveryRowAsItWas)
{
    addRows("R", BigCount);
    ASSERT_TRUE(context->save());
    const QStringList rowsBefore = tableRows(path(), "Rows");
    const QStringList indexesBefore = indexes(path());
    // The last new row is refused, after every other write of the save.
    runSql(path(),
        "CREATE TRIGGER refuse BEFORE INSERT ON \"Rows\" WHEN NEW.\"id\" = 'bad' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END;");

    deleteAll("Rows");
    addRows("N", BigCount);
    auto* bad = make("Rows", { { "id", "bad" } });
    platform::Error error;
    EXPECT_FALSE(context->save(&error));
    EXPECT_TRUE(error.localizedDescription().contains("refused"));
    EXPECT_EQ(tableRows(path(), "Rows"), rowsBefore);
    EXPECT_EQ(indexes(path()), indexesBefore);

    bad->setValue("id", "good");
    ASSERT_TRUE(context->save());
    EXPECT_EQ(tableRows(path(), "Rows").size(), BigCount + 1);
}

TEST_F(BigSaveTest, ReplacingAllObjectsEmptiesTheEntitiesInEveryStoreAndKeepsTheRest)
{
    const QUrl otherUrl = storeUrl("Other.sqlite");
    {
        auto other = openContext(otherUrl);
        ASSERT_TRUE(other);
        for (int i = 0; i < 30; ++i)
            other->insertNewObject("Rows")->setValue("id", QString("B%1").arg(i));
        other->insertNewObject("Database")->setValue("id", "D2");
        ASSERT_TRUE(other->save());
    }
    ASSERT_TRUE(
        coordinator->addPersistentStore(cd::SQLiteStoreType, {}, otherUrl, migratingOptions()));
    addRows("A", BigCount);
    auto* database = make("Database", { { "id", "D1" }, { "name", "Kept" } });
    ASSERT_TRUE(context->save());
    const QStringList indexesBefore = indexes(path());
    const QStringList databasesBefore = tableRows(path(), "Database");
    const auto held = context->executeFetchRequest(cd::FetchRequest("Rows"));
    ASSERT_EQ(held.size(), BigCount + 30);
    qint64 largestKey = 0;
    for (auto* row : held)
        largestKey = std::max(largestKey, row->objectID().key);
    QVariantList told;
    const auto token = platform::NotificationCenter::defaultCenter().addObserver(
        cd::ContextDidSaveNotification, context.get(), [&](const platform::Notification& note) {
            told = note.userInfo.value("deleted").toList();
        });

    std::vector<cd::ManagedObjectContext::EntityContent> contents;
    contents.push_back(newRows("N", BigCount));
    // A text given in its UTF-8 bytes, as a restore reads a long one, is written as text.
    const QString heldText = QStringLiteral("é ü € 中文 😀 ") + QString(300, QLatin1Char('z'));
    contents.back().records[5][model->entity("Rows")->indexOfAttribute("json")] = heldText.toUtf8();
    platform::Error error;
    ASSERT_TRUE(context->replaceAllObjects(std::move(contents), &error))
        << error.localizedDescription().toStdString();
    platform::NotificationCenter::defaultCenter().removeObserver(token);

    // The new rows in the first store only; the other entities and the indexes as they were.
    const QStringList rows = tableRows(path(), "Rows");
    ASSERT_EQ(rows.size(), BigCount);
    EXPECT_TRUE(rows.first().contains("|N0|"));
    EXPECT_TRUE(tableRows(otherUrl.toLocalFile(), "Rows").isEmpty());
    EXPECT_EQ(tableRows(otherUrl.toLocalFile(), "Database").size(), 1);
    EXPECT_EQ(tableRows(path(), "Database"), databasesBefore);
    EXPECT_EQ(indexes(path()), indexesBefore);
    EXPECT_EQ(answers(path(), "PRAGMA integrity_check"), QStringList { "ok" });
    EXPECT_EQ(answers(path(), "SELECT \"order\" FROM \"Rows\" WHERE \"id\" = 'N4321'"),
        QStringList { "4321" });
    EXPECT_EQ(answers(path(), "SELECT typeof(\"json\") FROM \"Rows\" WHERE \"id\" = 'N5'"),
        QStringList { "text" });

    // The context's old rows are gone from it, its other objects stay; the new rows are
    // found with new keys and the values given.
    EXPECT_EQ(told.size(), held.size());
    for (auto* row : held)
        EXPECT_EQ(row->managedObjectContext(), nullptr);
    EXPECT_EQ(database->managedObjectContext(), context.get());
    EXPECT_EQ(database->value("name"), "Kept");
    EXPECT_FALSE(context->hasChanges());
    cd::FetchRequest request("Rows");
    request.setPredicate(cd::Predicate::equal("id", "N17"));
    const auto found = context->executeFetchRequest(request);
    ASSERT_EQ(found.size(), 1);
    EXPECT_GT(found.first()->objectID().key, largestKey);
    EXPECT_EQ(found.first()->value("order"), QVariant(qlonglong(17)));
    EXPECT_EQ(found.first()->value("json"), QString(200, QLatin1Char('y')));
    request.setPredicate(cd::Predicate::equal("id", "N5"));
    const auto heldRow = context->executeFetchRequest(request);
    ASSERT_EQ(heldRow.size(), 1);
    EXPECT_EQ(heldRow.first()->value("json"), heldText);
    EXPECT_TRUE(found.first()->value("ctimestamp").isNull());
}

TEST_F(BigSaveTest, AReplacementThatFailsLeavesEveryStoreAndObjectAsItWas)
{
    addRows("R", BigCount);
    make("Database", { { "id", "D1" } });
    ASSERT_TRUE(context->save());
    const QStringList rowsBefore = tableRows(path(), "Rows");
    const QStringList databasesBefore = tableRows(path(), "Database");
    const QStringList indexesBefore = indexes(path());
    const auto held = context->executeFetchRequest(cd::FetchRequest("Rows"));
    ASSERT_EQ(held.size(), BigCount);

    // Refused by the store after the old rows are gone and most new ones are in.
    runSql(path(),
        "CREATE TRIGGER refuse BEFORE INSERT ON \"Rows\" WHEN NEW.\"id\" = 'N4999' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    std::vector<cd::ManagedObjectContext::EntityContent> contents;
    contents.push_back({ model->entity("Database"), { QList<QVariant>() } });
    contents.push_back(newRows("N", BigCount));
    platform::Error error;
    EXPECT_FALSE(context->replaceAllObjects(std::move(contents), &error));
    EXPECT_TRUE(error.localizedDescription().contains("refused"));
    EXPECT_EQ(tableRows(path(), "Rows"), rowsBefore);
    EXPECT_EQ(tableRows(path(), "Database"), databasesBefore);
    EXPECT_EQ(indexes(path()), indexesBefore);
    EXPECT_EQ(held.first()->managedObjectContext(), context.get());
    EXPECT_EQ(held.first()->value("id"), "R0");

    // A value its attribute cannot hold raises before anything is written.
    contents.clear();
    contents.push_back(newRows("M", 10));
    contents.back().records[3][model->entity("Rows")->indexOfAttribute("ctimestamp")]
        = QString("soon");
    EXPECT_THROW(
        (void)context->replaceAllObjects(std::move(contents), &error), platform::Exception);
    EXPECT_EQ(tableRows(path(), "Rows"), rowsBefore);

    // A replacement would save the context's own changes with it: refused.
    make("Database", { { "id", "D2" } });
    contents.clear();
    contents.push_back(newRows("M", 10));
    EXPECT_THROW(
        (void)context->replaceAllObjects(std::move(contents), &error), platform::Exception);
    EXPECT_EQ(tableRows(path(), "Rows"), rowsBefore);
    EXPECT_EQ(tableRows(path(), "Database"), databasesBefore);
}

} // namespace
