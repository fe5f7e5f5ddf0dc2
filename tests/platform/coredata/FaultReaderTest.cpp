// Faults read straight from the store, on other threads, as the objects would read
// themselves.
#include "StoreFixture.h"
#include "StoreSql.h"

#include "platform/coredata/FaultReader.h"
#include "platform/coredata/StoreReaders.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace storetest;

namespace {

class FaultReaderTest : public StoreTest {
protected:
    // Rows with texts of every form the store holds them in; `order` numbers them.
    void SetUp() override
    {
        StoreTest::SetUp();
        const QStringList texts { QString(600, QChar(u'a')),
            QString::fromUtf8("{\"é😀\": \"") + QChar(0) + QString(300, QChar(u'b')) + "\"}",
            "short", "", "7A3E9C21-5B4D-4F68-8E0A-1C2B3D4E5F60" };
        for (int i = 0; i < 60; ++i) {
            QVariantMap values { { "order", i }, { "id", QString("R%1").arg(i) } };
            if (i % 6 != 5)
                values.insert("json", texts[i % 6]);
            make("Rows", values);
        }
        ASSERT_TRUE(context->save());
        path = storeUrl().toLocalFile();
        // Long bytes that are not UTF-8, and bytes that are no text.
        runSql(path,
            "UPDATE \"Rows\" SET \"json\" = CAST(X'" + QByteArray(600, 'E') + "C3FF' AS TEXT)"
                + " WHERE \"order\" = 7; UPDATE \"Rows\" SET \"json\" = X'3132' WHERE \"order\" = "
                  "59;");
        fresh = reopen();
    }

    QList<cd::ManagedObject*> fetch(bool withValues, const QString& where = {}) const
    {
        cd::FetchRequest request("Rows");
        request.setSortDescriptors({ { "order", true } });
        if (!where.isEmpty())
            request.setPredicate(cd::Predicate::equal("id", where));
        request.setIncludesPropertyValues(withValues);
        request.setFetchBatchSize(withValues ? 0 : 16);
        return fresh->executeFetchRequest(request);
    }

    static int jsonIndex(const cd::ManagedObject* object)
    {
        return object->entity().indexOfAttribute("json");
    }

    QString path;
    std::unique_ptr<cd::ManagedObjectContext> fresh;
};

} // namespace

TEST_F(FaultReaderTest, ReadsFaultsAsTheyWouldReadThemselves)
{
    const auto faults = fetch(false);
    ASSERT_EQ(faults.size(), 60);
    cd::FaultReader reader(*fresh, "json", faults.size());
    for (qsizetype i = 0; i < faults.size(); ++i)
        ASSERT_TRUE(reader.add(*faults[i], i)) << i;
    QHash<qsizetype, QVariant> read;
    // From the middle, in ranges, on another thread.
    std::thread worker([&] {
        const auto keep = [&](qsizetype i, const QVariant& v) { read.insert(i, v); };
        EXPECT_TRUE(reader.read(10, 30, keep));
        EXPECT_TRUE(reader.read(0, 10, keep));
        EXPECT_TRUE(reader.read(30, 60, keep));
    });
    worker.join();
    ASSERT_EQ(read.size(), 60);
    // Nothing is given to the objects before fulfill().
    for (qsizetype i = 0; i < faults.size(); ++i)
        EXPECT_TRUE(faults[i]->isFault()) << i;
    reader.fulfill(0, 60);
    // As a context that reads them itself has them.
    const auto other = reopen();
    cd::FetchRequest request("Rows");
    request.setSortDescriptors({ { "order", true } });
    const auto loaded = other->executeFetchRequest(request);
    ASSERT_EQ(loaded.size(), 60);
    for (qsizetype i = 0; i < faults.size(); ++i) {
        EXPECT_FALSE(faults[i]->isFault()) << i;
        const int json = jsonIndex(faults[i]);
        const QVariant stored = loaded[i]->storedValue(json);
        EXPECT_EQ(read[i].metaType(), stored.metaType()) << i;
        EXPECT_EQ(read[i], stored) << i;
        EXPECT_EQ(faults[i]->storedValue(json), stored) << i;
        EXPECT_EQ(faults[i]->values(), loaded[i]->values()) << i;
    }
    // Long texts as their bytes, unless the bytes are not UTF-8; bytes that are no text as
    // no value.
    EXPECT_EQ(read[0].typeId(), QMetaType::QByteArray);
    EXPECT_EQ(read[7].typeId(), QMetaType::QString);
    EXPECT_FALSE(read[5].isValid());
    EXPECT_FALSE(read[59].isValid());
}

TEST_F(FaultReaderTest, TakesOnlyWhatWouldBeReadFromTheStore)
{
    const auto faults = fetch(false);
    const auto other = reopen();
    const auto loaded = other->executeFetchRequest(cd::FetchRequest("Rows"));
    cd::FaultReader reader(*fresh, "json", 10);
    // Of another context, or with its values in memory, or changed in memory.
    EXPECT_FALSE(reader.add(*loaded[0], 0));
    EXPECT_FALSE(reader.add(*fetch(true, "R1")[0], 1));
    faults[2]->setValue("json", QStringLiteral("changed"));
    EXPECT_FALSE(reader.add(*faults[2], 2));
    // Touching a fault read its batch.
    EXPECT_FALSE(reader.add(*faults[3], 3));
    EXPECT_FALSE(reader.add(*faults[40], 10));
    EXPECT_FALSE(reader.add(*faults[40], -1));
    EXPECT_TRUE(reader.add(*faults[40], 3));
    // An attribute that is not a text is not read.
    const auto again = fetch(false);
    cd::FaultReader numbers(*fresh, "order", 1);
    EXPECT_FALSE(numbers.add(*again[4], 0));
    EXPECT_TRUE(numbers.read(0, 1, [](qsizetype, const QVariant&) { FAIL(); }));
}

TEST_F(FaultReaderTest, RowsGoneAreLeftToTheUsualRead)
{
    const auto faults = fetch(false);
    ASSERT_EQ(faults.size(), 60);
    cd::FaultReader reader(*fresh, "json", faults.size());
    for (qsizetype i = 0; i < faults.size(); ++i)
        ASSERT_TRUE(reader.add(*faults[i], i));
    runSql(path, "DELETE FROM \"Rows\" WHERE \"order\" = 20");
    int calls = 0;
    const auto count = [&](qsizetype, const QVariant&) { ++calls; };
    EXPECT_TRUE(reader.read(0, 20, count));
    EXPECT_EQ(calls, 20);
    EXPECT_FALSE(reader.read(15, 25, count));
    EXPECT_TRUE(reader.read(25, 60, count));
    EXPECT_EQ(calls, 20 + 9 + 35);
    // The usual read then tells of them; those read since keep what they read.
    EXPECT_FALSE(faults[20]->storedValue(jsonIndex(faults[20])).isValid());
    EXPECT_EQ(faults[20]->managedObjectContext(), nullptr);
    faults[40]->setValue("json", QStringLiteral("changed"));
    EXPECT_TRUE(faults[50]->isFault());
    reader.fulfill(0, 60);
    EXPECT_FALSE(faults[50]->isFault());
    EXPECT_FALSE(faults[20]->managedObjectContext());
    EXPECT_EQ(faults[40]->value("json"), QVariant(QStringLiteral("changed")));
    EXPECT_EQ(faults[50]->value("id"), QVariant(QStringLiteral("R50")));
}

TEST_F(FaultReaderTest, ScatteredAndRepeatedObjectsAreReadFromManyThreads)
{
    const auto all = fetch(false);
    // Every seventh row, some twice: keys far apart are looked up one by one.
    QList<cd::ManagedObject*> chosen;
    for (qsizetype i = 0; i < 59; i += 7)
        chosen << all[i];
    chosen << all[14] << all[0];
    cd::FaultReader reader(*fresh, "json", chosen.size() * 8);
    for (qsizetype copy = 0; copy < 8; ++copy) {
        for (qsizetype i = 0; i < chosen.size(); ++i)
            ASSERT_TRUE(reader.add(*chosen[i], copy * chosen.size() + i));
    }
    std::vector<QVariant> read(size_t(chosen.size() * 8));
    // Each place written by one thread only.
    std::atomic<int> failed = 0;
    std::vector<std::thread> threads;
    for (qsizetype copy = 0; copy < 8; ++copy) {
        threads.emplace_back([&, copy] {
            if (!reader.read(copy * chosen.size(), (copy + 1) * chosen.size(),
                    [&](qsizetype i, const QVariant& v) { read[size_t(i)] = v; }))
                ++failed;
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failed, 0);
    for (qsizetype i = 0; i < qsizetype(read.size()); ++i) {
        const cd::ManagedObject* object = chosen[i % chosen.size()];
        EXPECT_EQ(read[size_t(i)], object->storedValue(jsonIndex(object))) << i;
    }
}

namespace {

// The rows, and the text of row 7, that a copy of the main store file alone holds, as a copy
// that leaves the log behind has them.
std::pair<int, QByteArray> copiedFileRows(const QString& path)
{
    const QString copy = testsupport::homePath() + "/Copy.sqlite";
    QFile::remove(copy);
    EXPECT_TRUE(QFile::copy(path, copy));
    sqlite3* db = nullptr;
    sqlite3_open_v2(copy.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    int rows = -1;
    QByteArray seventh;
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM \"Rows\"", -1, &query, nullptr) == SQLITE_OK
        && sqlite3_step(query) == SQLITE_ROW)
        rows = sqlite3_column_int(query, 0);
    sqlite3_finalize(query);
    query = nullptr;
    if (sqlite3_prepare_v2(
            db, "SELECT \"json\" FROM \"Rows\" WHERE \"order\" = 7", -1, &query, nullptr)
            == SQLITE_OK
        && sqlite3_step(query) == SQLITE_ROW)
        seventh = QByteArray(reinterpret_cast<const char*>(sqlite3_column_blob(query, 0)),
            sqlite3_column_bytes(query, 0));
    sqlite3_finalize(query);
    sqlite3_close(db);
    return { rows, seventh };
}

std::shared_ptr<cd::PersistentStore> onlyStore(const cd::ManagedObjectContext& context)
{
    return context.persistentStoreCoordinator()->persistentStores().value(0);
}

} // namespace

TEST_F(FaultReaderTest, AStoreClosesItsReadersBeforeItselfSoTheLogReachesTheFile)
{
    // The fixture's own store is let go of first: the one read from is then the last open.
    ASSERT_TRUE(coordinator->removePersistentStore(store));
    const auto faults = fetch(false);
    cd::FaultReader reader(*fresh, "json", faults.size());
    for (qsizetype i = 0; i < faults.size(); ++i)
        ASSERT_TRUE(reader.add(*faults[i], i));
    int calls = 0;
    const auto count = [&](qsizetype, const QVariant&) { ++calls; };
    // Its connection stays open, idle, for the job's next range.
    ASSERT_TRUE(reader.read(0, 30, count));
    const auto removed = onlyStore(*fresh);
    EXPECT_EQ(removed->readers()->openCount(), 1u);
    ASSERT_TRUE(QFileInfo::exists(path + "-wal"));

    ASSERT_TRUE(fresh->persistentStoreCoordinator()->removePersistentStore(removed));
    EXPECT_EQ(removed->readers()->openCount(), 0u);
    EXPECT_FALSE(QFileInfo::exists(path + "-wal"));
    const auto [rows, seventh] = copiedFileRows(path);
    EXPECT_EQ(rows, 60);
    EXPECT_EQ(seventh, QByteArray(300, '\xEE') + "\xC3\xFF");

    // Nothing is read once the store has closed; the usual read tells of it.
    calls = 0;
    EXPECT_FALSE(reader.read(30, 60, count));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(removed->readers()->openCount(), 0u);
    EXPECT_FALSE(reader.fulfill(0, 60));
    for (const auto* fault : faults)
        EXPECT_TRUE(fault->isFault());
}

TEST_F(FaultReaderTest, AReadUnderWayWhenTheStoreClosesIsStoppedAndWaitedFor)
{
    ASSERT_TRUE(coordinator->removePersistentStore(store));
    const auto faults = fetch(false);
    cd::FaultReader reader(*fresh, "json", faults.size());
    for (qsizetype i = 0; i < faults.size(); ++i)
        ASSERT_TRUE(reader.add(*faults[i], i));
    const auto removed = onlyStore(*fresh);
    std::atomic<bool> started = false;
    bool readOk = true;
    int calls = 0;
    std::thread worker([&] {
        readOk = reader.read(0, 60, [&](qsizetype, const QVariant&) {
            // The first row holds the read open until the store is closing.
            if (calls++ == 0) {
                started = true;
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (!removed->readers()->isClosed() && std::chrono::steady_clock::now() < until)
                    std::this_thread::yield();
            }
        });
    });
    while (!started)
        std::this_thread::yield();
    EXPECT_TRUE(fresh->persistentStoreCoordinator()->removePersistentStore(removed));
    // The close waited for the read's connection, which stopped short.
    EXPECT_EQ(removed->readers()->openCount(), 0u);
    worker.join();
    EXPECT_FALSE(readOk);
    EXPECT_LT(calls, 60);
    EXPECT_FALSE(QFileInfo::exists(path + "-wal"));
    EXPECT_EQ(copiedFileRows(path).first, 60);
}

TEST_F(FaultReaderTest, ValuesOfAStoreThatChangedAreNeverGiven)
{
    ASSERT_TRUE(coordinator->removePersistentStore(store));
    const auto faults = fetch(false);
    cd::FaultReader reader(*fresh, "json", faults.size());
    for (qsizetype i = 0; i < faults.size(); ++i)
        ASSERT_TRUE(reader.add(*faults[i], i));
    ASSERT_TRUE(reader.read(0, 30, [](qsizetype, const QVariant&) {}));

    // The store is made again at its path, with other rows under the same keys.
    const auto& other = fresh->persistentStoreCoordinator();
    ASSERT_TRUE(other->removePersistentStore(onlyStore(*fresh)));
    for (const char* suffix : { "", "-wal", "-shm" })
        QFile::remove(path + suffix);
    ASSERT_TRUE(other->addPersistentStore(cd::SQLiteStoreType, {}, storeUrl(), migratingOptions()));
    cd::ManagedObjectContext writer;
    writer.setPersistentStoreCoordinator(other);
    for (int i = 0; i < 60; ++i) {
        cd::ManagedObject* object = writer.insertNewObject("Rows");
        object->setValue("order", i);
        object->setValue("json", QStringLiteral("another store's"));
    }
    ASSERT_TRUE(writer.save());

    // Neither the rows read before nor the new file's rows reach the objects.
    EXPECT_FALSE(reader.read(30, 60, [](qsizetype, const QVariant&) { FAIL(); }));
    EXPECT_FALSE(reader.fulfill(0, 60));
    for (const auto* fault : faults)
        EXPECT_TRUE(fault->isFault());

    // Nor those read before the store moved to another file.
    const auto moved = fetch(false);
    cd::FaultReader before(*fresh, "json", moved.size());
    for (qsizetype i = 0; i < moved.size(); ++i)
        ASSERT_TRUE(before.add(*moved[i], i));
    ASSERT_TRUE(before.read(0, 60, [](qsizetype, const QVariant&) {}));
    ASSERT_TRUE(other->migratePersistentStore(
        onlyStore(*fresh), storeUrl("Moved.sqlite"), migratingOptions(), cd::SQLiteStoreType));
    EXPECT_FALSE(before.fulfill(0, 60));
    for (const auto* fault : moved)
        EXPECT_TRUE(fault->isFault());
}
