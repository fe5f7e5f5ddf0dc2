#include "StoreFixture.h"

#include "platform/coredata/Predicate.h"
#include "platform/coredata/StoredText.h"
#include "platform/coredata/StoredTextScan.h"

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
