#include "StoreFixture.h"

#include "platform/coredata/WalCheckpointer.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <chrono>
#include <thread>

using namespace storetest;

namespace {

// A WAL database of its own, written through a connection that never copies its log, so
// that only the checkpointer does.
class LogFile {
public:
    LogFile()
        : path(testsupport::homePath() + "/Log.sqlite")
    {
        EXPECT_EQ(sqlite3_open(path.toUtf8(), &db), SQLITE_OK);
        run("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; "
            "CREATE TABLE t (k INTEGER PRIMARY KEY, v TEXT)");
    }
    ~LogFile() { sqlite3_close(db); }

    void run(const char* sql)
    {
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK)
            << (message ? message : "");
        sqlite3_free(message);
    }
    // One commit of rows of 4 KiB each.
    void add(int rows)
    {
        const QByteArray sql = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < "
            + QByteArray::number(rows) + ") INSERT INTO t (v) SELECT zeroblob(4096) FROM n";
        run(sql.constData());
    }
    // The log's pages and those of them copied into the file, as a copy that waits for no
    // one reports them.
    std::pair<int, int> logState()
    {
        int log = -1, copied = -1;
        sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, &log, &copied);
        return { log, copied };
    }

    QString path;
    sqlite3* db = nullptr;
};

// The rows and the integrity of the file as a fresh connection sees them.
std::pair<int, QString> storedState(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    int rows = -1;
    QString integrity;
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM t", -1, &query, nullptr);
    if (sqlite3_step(query) == SQLITE_ROW)
        rows = sqlite3_column_int(query, 0);
    sqlite3_finalize(query);
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &query, nullptr);
    if (sqlite3_step(query) == SQLITE_ROW)
        integrity = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, 0)));
    sqlite3_finalize(query);
    sqlite3_close(db);
    return { rows, integrity };
}

} // namespace

TEST(WalCheckpointer, CopiesTheLogWhileSavesGoOnAndLosesNone)
{
    LogFile file;
    file.add(3000);
    const qint64 before = QFileInfo(file.path).size();
    {
        cd::WalCheckpointer checkpointer(file.path);
        // Saves made while a copy runs, each asking for another one.
        for (int i = 0; i < 20; ++i) {
            ASSERT_TRUE(checkpointer.request());
            file.add(50);
        }
        checkpointer.waitUntilIdle();
        // The last save's pages too, once no save comes after it.
        ASSERT_TRUE(checkpointer.request());
        checkpointer.waitUntilIdle();
        // A log copied whole may start again from its beginning at the next save, so
        // its length says nothing of how much was copied; the file's size and rows do.
        const auto [log, copied] = file.logState();
        EXPECT_GT(log, 0);
        EXPECT_EQ(copied, log);
    }
    EXPECT_GT(QFileInfo(file.path).size(), before + 3000 * 4096);
    EXPECT_EQ(storedState(file.path), std::make_pair(4000, QStringLiteral("ok")));
}

TEST(WalCheckpointer, StoppingACopyUnderWayLeavesEverySaveInTheFile)
{
    LogFile file;
    int rows = 0;
    for (int round = 0; round < 5; ++round) {
        file.add(2000);
        rows += 2000;
        {
            cd::WalCheckpointer checkpointer(file.path);
            ASSERT_TRUE(checkpointer.request());
            // Stopped at once, or mid-copy, or after it: whichever the thread reached.
            if (round % 2)
                std::this_thread::sleep_for(std::chrono::milliseconds(2 * round));
        }
        EXPECT_EQ(storedState(file.path), std::make_pair(rows, QStringLiteral("ok")));
    }
    // A checkpointer never asked for a copy starts no thread and stops cleanly too.
    {
        cd::WalCheckpointer idle(file.path);
    }
    // The last connection to close copies the whole log and removes it, as ever.
    EXPECT_EQ(sqlite3_close(file.db), SQLITE_OK);
    file.db = nullptr;
    EXPECT_FALSE(QFileInfo::exists(file.path + "-wal"));
    EXPECT_EQ(storedState(file.path), std::make_pair(rows, QStringLiteral("ok")));
}

TEST(WalCheckpointer, AFileItCannotOpenLeavesTheCopyToTheCaller)
{
    cd::WalCheckpointer checkpointer(testsupport::homePath() + "/Missing.sqlite");
    // Known only once the thread has tried; from then on every request is refused.
    ASSERT_TRUE(checkpointer.request());
    checkpointer.waitUntilIdle();
    EXPECT_FALSE(checkpointer.request());
    EXPECT_FALSE(QFileInfo::exists(testsupport::homePath() + "/Missing.sqlite"));
}

class CheckpointTest : public StoreTest {
protected:
    // Rows enough to fill the log past the point where it is copied into the file.
    void addBigRows(const QString& prefix)
    {
        const QString payload(8000, QLatin1Char('p'));
        for (int i = 0; i < 5200; ++i) {
            auto* row = context->insertNewObject("Rows");
            row->setValue("id", prefix + QString::number(i));
            row->setValue("json", payload);
        }
    }
    qint64 fileSize() const { return QFileInfo(storeUrl().toLocalFile()).size(); }
};

TEST_F(CheckpointTest, ABigSaveIsCopiedIntoTheFileAfterItReturns)
{
    addBigRows("A");
    ASSERT_TRUE(context->save());
    store->waitForCheckpoint();
    // 40 MiB of rows are in the file itself, not only in its log.
    EXPECT_GT(fileSize(), 40 * 1024 * 1024);
    EXPECT_EQ(
        context->countForFetchRequest(cd::FetchRequest("Rows")), std::optional<quint64>(5200));
}

TEST_F(CheckpointTest, SavesAndAClosingDuringTheCopyLoseNothing)
{
    addBigRows("A");
    ASSERT_TRUE(context->save());
    // Saves while the copy runs, then the store goes away under it.
    for (int i = 0; i < 10; ++i) {
        make("Rows", { { "id", QString("S%1").arg(i) } });
        ASSERT_TRUE(context->save());
    }
    auto rows = context->executeFetchRequest(cd::FetchRequest("Rows"));
    for (int i = 0; i < 100; ++i)
        context->deleteObject(rows[i]);
    ASSERT_TRUE(context->save());
    ASSERT_TRUE(coordinator->removePersistentStore(store));
    EXPECT_FALSE(QFileInfo::exists(storeUrl().toLocalFile() + "-wal"));

    auto fresh = reopen();
    EXPECT_EQ(fresh->countForFetchRequest(cd::FetchRequest("Rows")),
        std::optional<quint64>(5200 + 10 - 100));
    cd::FetchRequest last("Rows");
    last.setPredicate(cd::Predicate::equal("id", "S9"));
    EXPECT_EQ(fresh->countForFetchRequest(last), std::optional<quint64>(1));
}
