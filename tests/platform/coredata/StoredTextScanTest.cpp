#include "StoreFixture.h"

#include "platform/coredata/Predicate.h"
#include "platform/coredata/StoreReaders.h"
#include "platform/coredata/StoredText.h"
#include "platform/coredata/StoredTextScan.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <chrono>
#include <thread>

using namespace storetest;

namespace {

// Rows of two tables whose keys interleave, read straight from the file.
struct StoredTextScanTest : StoreTest {
    void SetUp() override
    {
        StoreTest::SetUp();
        // Table A's rows at the even places, table B's between; one of A's has no text, one
        // a text of more than one page.
        for (int i = 0; i < 40; ++i) {
            const bool isA = i % 2 == 0;
            QVariant json = QString("{\"n\":%1}").arg(i);
            if (i == 4)
                json = QVariant();
            if (i == 6)
                json = QString("{\"long\":\"%1\"}").arg(QString(9000, QChar(u'\u00e9')));
            rows << make("Rows", { { "usertemplate_id", isA ? "A" : "B" }, { "json", json } });
        }
        ASSERT_TRUE(context->save());
        entity = rows[0]->objectID().entity;
        storeId = rows[0]->objectID().storeIdentifier;
        for (int i = 0; i < rows.size(); i += 2)
            keysOfA.push_back(rows[i]->objectID().key);
    }

    std::shared_ptr<cd::StoredTextScan> scanOf(const QString& table) const
    {
        return coordinator->storedTextScan(
            *entity, storeId, cd::Predicate::equal("usertemplate_id", table), "json");
    }

    // What the store's own reader holds for the rows of those keys.
    std::vector<std::pair<qint64, QVariant>> expected(const std::vector<qint64>& keys) const
    {
        std::vector<std::pair<qint64, QVariant>> texts;
        const auto read = coordinator->storedValues(
            *entity, storeId, QList<qint64>(keys.cbegin(), keys.cend()), { "json" });
        for (const auto& [key, values] : read.value())
            texts.emplace_back(key, cd::StoredText::readable(values.value(0)));
        return texts;
    }

    static std::vector<std::pair<qint64, QVariant>> collect(
        const std::function<bool(const cd::StoredTextScan::Row&)>& read)
    {
        std::vector<std::pair<qint64, QVariant>> texts;
        EXPECT_TRUE(read([&](qint64 key, QByteArrayView text) {
            texts.emplace_back(key, text.isNull() ? QVariant() : QVariant(QString::fromUtf8(text)));
            return true;
        }));
        return texts;
    }

    QList<cd::ManagedObject*> rows;
    const cd::EntityDescription* entity = nullptr;
    QString storeId;
    std::vector<qint64> keysOfA;
};

} // namespace

TEST_F(StoredTextScanTest, ReadsTheTextsOfTheSelectedRowsAsTheStoreHoldsThem)
{
    const auto scan = scanOf("A");
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->keys(), keysOfA);
    EXPECT_EQ(scanOf("C")->keys(), std::vector<qint64>());

    // The whole range between the table's ends leaves out the other table's rows; the row
    // without a text reads as none.
    const auto all = collect(
        [&](const auto& row) { return scan->read(keysOfA.front(), keysOfA.back(), row); });
    EXPECT_EQ(all, expected(keysOfA));
    ASSERT_EQ(all.size(), 20u);
    EXPECT_FALSE(all[2].second.isValid());
    EXPECT_EQ(all[3].second.toString().size(), 9011);

    // Keys close together are walked, keys far apart looked up one by one: both give
    // exactly the rows of the keys asked for, of this table only.
    const std::vector<qint64> near { keysOfA[1], keysOfA[2], keysOfA[3] };
    const std::vector<qint64> far { keysOfA[0], keysOfA[9], keysOfA[19] };
    EXPECT_EQ(collect([&](const auto& row) { return scan->read(near, row); }), expected(near));
    EXPECT_EQ(collect([&](const auto& row) { return scan->read(far, row); }), expected(far));
    const std::vector<qint64> other { rows[1]->objectID().key, rows[21]->objectID().key };
    EXPECT_TRUE(collect([&](const auto& row) { return scan->read(other, row); }).empty());

    // A caller that stops is not a failed read.
    int seen = 0;
    EXPECT_TRUE(scan->read(
        keysOfA.front(), keysOfA.back(), [&](qint64, QByteArrayView) { return ++seen < 3; }));
    EXPECT_EQ(seen, 3);
}

TEST_F(StoredTextScanTest, ThreadsReadSideBySideWhatWasCommitted)
{
    const auto scan = scanOf("A");
    // A deleted row is gone once saved; a change not saved is not the store's.
    context->deleteObject(rows[8]);
    ASSERT_TRUE(context->save());
    rows[0]->setValue("json", "{\"unsaved\":1}");
    std::vector<qint64> left = keysOfA;
    left.erase(left.begin() + 4);
    std::vector<std::vector<std::pair<qint64, QVariant>>> read(4);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < read.size(); ++i) {
        threads.emplace_back([&, i] {
            read[i] = collect(
                [&](const auto& row) { return scan->read(keysOfA.front(), keysOfA.back(), row); });
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (const auto& texts : read)
        EXPECT_EQ(texts, expected(left));
}

TEST_F(StoredTextScanTest, NoScanOfAStoreGoneOrAnAttributeMissing)
{
    platform::Error error;
    EXPECT_FALSE(coordinator->storedTextScan(*entity, "elsewhere", {}, "json", &error));
    EXPECT_FALSE(error.localizedDescription().isEmpty());
    EXPECT_FALSE(coordinator->storedTextScan(*entity, storeId, {}, "nothing"));
    EXPECT_FALSE(coordinator->storedTextScan(
        *entity, storeId, cd::Predicate::equal("nothing", "A"), "json"));
    // A file that can no longer be read fails the reads, never pretends there were none.
    const auto scan = scanOf("A");
    ASSERT_TRUE(coordinator->removePersistentStore(store));
    store.reset();
    for (const char* suffix : { "", "-wal", "-shm" })
        QFile::remove(storeUrl().toLocalFile() + suffix);
    EXPECT_FALSE(scan->keys());
    EXPECT_FALSE(scan->read(1, 100, [](qint64, QByteArrayView) { return true; }));
}

TEST_F(StoredTextScanTest, AScanClosesWithItsStoreAndNeverReadsAStoreMadeAgainThere)
{
    const QString path = storeUrl().toLocalFile();
    const auto scan = scanOf("A");
    // A read leaves its connection idle, for the next.
    ASSERT_TRUE(scan->keys());
    const auto readers = store->readers();
    EXPECT_EQ(readers->openCount(), 1u);
    ASSERT_TRUE(QFileInfo::exists(path + "-wal"));
    ASSERT_TRUE(coordinator->removePersistentStore(store));
    // Closed with the store, before it: the log reached the file.
    EXPECT_EQ(readers->openCount(), 0u);
    EXPECT_FALSE(QFileInfo::exists(path + "-wal"));

    // A store made again at the path, its rows of the same table under the same keys.
    for (const char* suffix : { "", "-wal", "-shm" })
        QFile::remove(path + suffix);
    store
        = coordinator->addPersistentStore(cd::SQLiteStoreType, {}, storeUrl(), migratingOptions());
    ASSERT_TRUE(store);
    cd::ManagedObjectContext writer;
    writer.setPersistentStoreCoordinator(coordinator);
    for (int i = 0; i < 40; ++i) {
        cd::ManagedObject* row = writer.insertNewObject("Rows");
        row->setValue("usertemplate_id", "A");
        row->setValue("json", "{\"another\":1}");
    }
    ASSERT_TRUE(writer.save());
    const auto none = [](qint64, QByteArrayView) {
        ADD_FAILURE();
        return true;
    };
    EXPECT_FALSE(scan->keys());
    EXPECT_FALSE(scan->read(keysOfA.front(), keysOfA.back(), none));
    EXPECT_FALSE(scan->read(std::vector<qint64> { keysOfA[0], keysOfA[19] }, none));
    EXPECT_EQ(readers->openCount(), 0u);
    EXPECT_EQ(store->readers()->openCount(), 0u);
}

TEST_F(StoredTextScanTest, AReadUnderWayWhenTheStoreClosesStopsAndIsWaitedFor)
{
    const auto scan = scanOf("A");
    const auto readers = store->readers();
    std::atomic<bool> started = false;
    bool read = true;
    int seen = 0;
    std::thread reader([&] {
        read = scan->read(keysOfA.front(), keysOfA.back(), [&](qint64, QByteArrayView) {
            // The first row holds the read open until the store is closing.
            if (seen++ == 0) {
                started = true;
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (!readers->isClosed() && std::chrono::steady_clock::now() < until)
                    std::this_thread::yield();
            }
            return true;
        });
    });
    while (!started)
        std::this_thread::yield();
    EXPECT_TRUE(coordinator->removePersistentStore(store));
    EXPECT_EQ(readers->openCount(), 0u);
    reader.join();
    EXPECT_FALSE(read);
    EXPECT_LT(seen, 20);
    EXPECT_FALSE(QFileInfo::exists(storeUrl().toLocalFile() + "-wal"));
}
