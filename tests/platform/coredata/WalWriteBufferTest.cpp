#include "platform/coredata/WalWriteBuffer.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <functional>
#include <string>
#include <utility>

namespace {

using platform::coredata::WalWriteBuffer;

// A connection to the file through the named file system (SQLite's default for none).
sqlite3* connectThrough(const QString& path, const char* vfs)
{
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path.toUtf8(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, vfs),
        SQLITE_OK);
    return db;
}

// A connection to the file, through the gathering layer or SQLite's own.
sqlite3* connect(const QString& path, bool gathered)
{
    return connectThrough(path, gathered ? WalWriteBuffer::vfsName() : nullptr);
}

std::string run(sqlite3* db, const char* sql)
{
    std::string result;
    char* message = nullptr;
    const int rc = sqlite3_exec(
        db, sql,
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0] ? values[0] : "NULL";
            return 0;
        },
        &result, &message);
    if (rc != SQLITE_OK)
        result = "error: " + std::string(message ? message : "?");
    sqlite3_free(message);
    return result;
}

// SQLite's default file system, but the next big write to a log fails as a bad block
// would while `failing`: one the gathering layer makes of many frames, not SQLite itself.
// It counts those big writes, and calls `writeLockReleased` the moment a connection has
// let go of the log's write lock, before the layer above hears of it.
struct FailingDisk {
    static constexpr int BigWrite = 64 * 1024;
    static inline std::atomic<bool> failing { false };
    static inline std::atomic<int> bigWrites { 0 };
    static inline std::function<void()> writeLockReleased;
    static inline sqlite3_vfs vfs {};
    static inline sqlite3_io_methods logMethods {};
    static inline sqlite3_io_methods mainMethods {};
    static inline const sqlite3_io_methods* lowerLogMethods = nullptr;
    static inline const sqlite3_io_methods* lowerMainMethods = nullptr;

    static int shmLock(sqlite3_file* file, int offset, int count, int flags)
    {
        const int rc = lowerMainMethods->xShmLock(file, offset, count, flags);
        if (rc == SQLITE_OK && offset == 0 && flags == (SQLITE_SHM_UNLOCK | SQLITE_SHM_EXCLUSIVE)
            && writeLockReleased)
            writeLockReleased();
        return rc;
    }

    static int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset)
    {
        if (amount >= BigWrite && failing.exchange(false))
            return SQLITE_IOERR_WRITE;
        if (amount >= BigWrite)
            ++bigWrites;
        return lowerLogMethods->xWrite(file, data, amount, offset);
    }
    static int open(sqlite3_vfs* self, const char* name, sqlite3_file* file, int flags, int* out)
    {
        auto* lower = static_cast<sqlite3_vfs*>(self->pAppData);
        const int rc = lower->xOpen(lower, name, file, flags, out);
        if (rc == SQLITE_OK && (flags & SQLITE_OPEN_WAL) && file->pMethods) {
            lowerLogMethods = file->pMethods;
            logMethods = *file->pMethods;
            logMethods.xWrite = write;
            file->pMethods = &logMethods;
        }
        if (rc == SQLITE_OK && (flags & SQLITE_OPEN_MAIN_DB) && file->pMethods
            && file->pMethods->iVersion >= 2) {
            lowerMainMethods = file->pMethods;
            mainMethods = *file->pMethods;
            mainMethods.xShmLock = shmLock;
            file->pMethods = &mainMethods;
        }
        return rc;
    }
    // The gathering layer's name over this file system.
    static const char* layerName()
    {
        sqlite3_vfs* lower = sqlite3_vfs_find(nullptr);
        if (!vfs.zName) {
            vfs = *lower;
            vfs.zName = "failing-disk-test";
            vfs.pAppData = lower;
            vfs.xOpen = open;
            vfs.pNext = nullptr;
        }
        sqlite3_vfs_register(&vfs, 1);
        const char* name = WalWriteBuffer::vfsName();
        sqlite3_vfs_register(lower, 1);
        return name;
    }
};

// Many rows, each with a value of 600 bytes and an index on it, in one transaction.
const char* const InsertMany
    = "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 40000) "
      "INSERT INTO t SELECT x, hex(randomblob(300)) FROM n";

TEST(WalWriteBuffer, BigSavesThatSpillAndRollBackReadBackAsSQLiteWroteThem)
{
    const QString path = testsupport::homePath() + "/gathered.sqlite";
    sqlite3* writer = connect(path, true);
    sqlite3* reader = connect(path, false);
    ASSERT_EQ(run(writer, "PRAGMA journal_mode=WAL"), "wal");
    // A small cache: the save's pages go to the log long before its commit, are read back
    // from it and changed again.
    run(writer, "PRAGMA synchronous=FULL; PRAGMA cache_size=200");
    ASSERT_EQ(run(writer,
                  "CREATE TABLE t (k INTEGER PRIMARY KEY, v TEXT); "
                  "CREATE INDEX tv ON t (v)"),
        "");

    ASSERT_EQ(run(writer, "BEGIN"), "");
    ASSERT_EQ(run(writer, InsertMany), "");
    EXPECT_EQ(run(writer, "SELECT count(*) FROM t"), "40000");
    ASSERT_EQ(run(writer, "ROLLBACK"), "");
    EXPECT_EQ(run(reader, "SELECT count(*) FROM t"), "0");

    ASSERT_EQ(run(writer, "BEGIN"), "");
    ASSERT_EQ(run(writer, InsertMany), "");
    ASSERT_EQ(run(writer, "UPDATE t SET v = 'x' || v WHERE k % 7 = 0"), "");
    ASSERT_EQ(run(writer, "COMMIT"), "");
    // Another connection, on SQLite's own layer, reads what was committed.
    const std::string sum = run(writer, "SELECT sum(length(v)) FROM t");
    EXPECT_EQ(run(reader, "SELECT count(*) FROM t"), "40000");
    EXPECT_EQ(run(reader, "SELECT sum(length(v)) FROM t"), sum);
    EXPECT_EQ(run(reader, "SELECT count(*) FROM t WHERE v LIKE 'x%'"), "5714");
    EXPECT_EQ(run(reader, "PRAGMA integrity_check"), "ok");

    // And after the log was copied into the file and begun again.
    EXPECT_EQ(run(reader, "PRAGMA wal_checkpoint(TRUNCATE)").substr(0, 1), "0");
    ASSERT_EQ(run(writer, "DELETE FROM t WHERE k > 100"), "");
    EXPECT_EQ(run(reader, "SELECT count(*) FROM t"), "100");
    sqlite3_close(writer);
    EXPECT_EQ(run(reader, "PRAGMA integrity_check"), "ok");
    sqlite3_close(reader);
}

TEST(WalWriteBuffer, ARolledBackSaveNeverWritesOverAnotherWritersCommit)
{
    const QString path = testsupport::homePath() + "/two-writers.sqlite";
    sqlite3* first = connect(path, true);
    sqlite3* second = connect(path, true);
    ASSERT_EQ(run(first, "PRAGMA journal_mode=WAL"), "wal");
    for (sqlite3* db : { first, second })
        run(db, "PRAGMA synchronous=FULL; PRAGMA cache_size=200; PRAGMA wal_autocheckpoint=0");
    ASSERT_EQ(run(first,
                  "CREATE TABLE t (k INTEGER PRIMARY KEY, v TEXT); "
                  "CREATE INDEX tv ON t (v)"),
        "");
    // An empty log: rolling back reads nothing from it.
    EXPECT_EQ(run(second, "PRAGMA wal_checkpoint(TRUNCATE)").substr(0, 1), "0");

    // The first writer's save spills into the log and is rolled back: the last of its
    // writes may still be gathered when it lets go of the log.
    ASSERT_EQ(run(first, "BEGIN"), "");
    ASSERT_EQ(run(first, InsertMany), "");
    ASSERT_EQ(run(first, "ROLLBACK"), "");

    // The second writes the same amount at the same places in the log, and commits.
    ASSERT_EQ(run(second, InsertMany), "");
    const std::string sum = run(second, "SELECT sum(length(v)) FROM t");

    // The first reads again: nothing it gave up may reach the file now.
    EXPECT_EQ(run(first, "SELECT count(*) FROM t"), "40000");
    sqlite3_close(first);
    sqlite3_close(second);

    sqlite3* reader = connect(path, false);
    EXPECT_EQ(run(reader, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(run(reader, "SELECT count(*) FROM t"), "40000");
    EXPECT_EQ(run(reader, "SELECT sum(length(v)) FROM t"), sum);
    sqlite3_close(reader);
}

TEST(WalWriteBuffer, ASaveWithAWriteToItsLogThatFailedFailsAndChangesNothing)
{
    const QString path = testsupport::homePath() + "/failing-disk.sqlite";
    sqlite3* writer = connectThrough(path, FailingDisk::layerName());
    ASSERT_NE(writer, nullptr);
    sqlite3* reader = connect(path, false);
    ASSERT_EQ(run(writer, "PRAGMA journal_mode=WAL"), "wal");
    run(writer, "PRAGMA synchronous=FULL; PRAGMA wal_autocheckpoint=0");
    ASSERT_EQ(run(writer, "CREATE TABLE t (k INTEGER PRIMARY KEY, v TEXT)"), "");
    ASSERT_EQ(run(writer, "INSERT INTO t VALUES (0, 'kept')"), "");

    // Big saves, their frames written at the commit (a big cache) and long before it (a
    // small one): one write of theirs fails, and so does each save.
    for (const char* cache : { "PRAGMA cache_size=-262144", "PRAGMA cache_size=200" }) {
        SCOPED_TRACE(cache);
        run(writer, cache);
        ASSERT_EQ(run(writer, "BEGIN"), "");
        ASSERT_EQ(run(writer, InsertMany), "");
        FailingDisk::failing = true;
        const std::string committed = run(writer, "COMMIT");
        EXPECT_FALSE(FailingDisk::failing);
        FailingDisk::failing = false;
        EXPECT_EQ(committed.rfind("error", 0), 0u) << committed;
        if (!sqlite3_get_autocommit(writer))
            run(writer, "ROLLBACK");
        EXPECT_EQ(run(reader, "SELECT group_concat(v) FROM t"), "kept");
        EXPECT_EQ(run(writer, "SELECT group_concat(v) FROM t"), "kept");
    }
    // The log takes writes again: the next save lands whole.
    ASSERT_EQ(run(writer, "INSERT INTO t VALUES (-1, 'then')"), "");
    EXPECT_EQ(run(reader, "SELECT group_concat(v) FROM t"), "then,kept");
    sqlite3_close(writer);
    EXPECT_EQ(run(reader, "PRAGMA integrity_check"), "ok");
    sqlite3_close(reader);
}

// A writer through the gathering layer at NORMAL, a reader on SQLite's own, and a table
// of blobs: what each test below writes and reads.
class WalWriteBufferSyncLevels : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = testsupport::homePath() + "/sync-levels.sqlite";
        writer = connectThrough(path, FailingDisk::layerName());
        ASSERT_NE(writer, nullptr);
        reader = connect(path, false);
        ASSERT_EQ(run(writer, "PRAGMA journal_mode=WAL"), "wal");
        ASSERT_EQ(run(writer, "PRAGMA synchronous=NORMAL"), "");
        ASSERT_EQ(run(writer, "CREATE TABLE t (k INTEGER PRIMARY KEY, v BLOB)"), "");
        FailingDisk::bigWrites = 0;
    }

    // Commits of growing saves, each read by the reader the moment the writer lets go of
    // the log's write lock: each must be in the file whole by then. Then both close, and the
    // file, opened again, holds every row whole.
    void expectEveryCommitReadWhole()
    {
        std::string seen;
        FailingDisk::writeLockReleased
            = [&] { seen = run(reader, "SELECT count(*) || ':' || sum(length(v)) FROM t"); };
        long long bytes = 0;
        for (int pages = 1; pages <= 40; ++pages) {
            SCOPED_TRACE(pages);
            const std::string insert = "INSERT INTO t VALUES (" + std::to_string(pages)
                + ", randomblob(" + std::to_string(pages * 4000) + "))";
            EXPECT_EQ(run(writer, insert.c_str()), "");
            bytes += pages * 4000;
            EXPECT_EQ(seen, std::to_string(pages) + ":" + std::to_string(bytes));
        }
        FailingDisk::writeLockReleased = nullptr;
        const char* const sum = "SELECT sum(length(v)) || ':' || hex(max(v)) FROM t";
        const std::string written = run(writer, sum);
        sqlite3_close(std::exchange(writer, nullptr));
        sqlite3_close(std::exchange(reader, nullptr));
        sqlite3* reopened = connect(path, false);
        EXPECT_EQ(run(reopened, "PRAGMA integrity_check"), "ok");
        EXPECT_EQ(run(reopened, sum), written);
        sqlite3_close(reopened);
    }

    void TearDown() override
    {
        sqlite3_close(writer);
        sqlite3_close(reader);
    }

    QString path;
    sqlite3* writer = nullptr;
    sqlite3* reader = nullptr;
};

TEST_F(WalWriteBufferSyncLevels, ALogIsGatheredOnlyWhileItsConnectionSyncsEveryCommit)
{
    // At NORMAL nothing is gathered; raised to FULL, a commit shows the log synced and the
    // saves after it are gathered.
    ASSERT_EQ(run(writer, InsertMany), "");
    EXPECT_EQ(FailingDisk::bigWrites.load(), 0);
    ASSERT_EQ(
        run(writer, "DELETE FROM t; PRAGMA synchronous=FULL; INSERT INTO t VALUES (0, 1)"), "");
    ASSERT_EQ(run(writer, InsertMany), "");
    EXPECT_GT(FailingDisk::bigWrites.load(), 0);

    // Lowered, the log is not synced at a commit, and other connections read the commit
    // as soon as the writer lets go of the log: its frames must be in the file by then.
    run(writer, "PRAGMA synchronous=NORMAL; DELETE FROM t");
    FailingDisk::bigWrites = 0;
    expectEveryCommitReadWhole();
    EXPECT_EQ(FailingDisk::bigWrites.load(), 0);
}

TEST_F(WalWriteBufferSyncLevels, ALevelSQLiteRefusesIsNotFollowed)
{
    // Asked for inside a transaction, FULL is refused: the connection stays at NORMAL.
    ASSERT_EQ(run(writer, "BEGIN"), "");
    EXPECT_EQ(run(writer, "PRAGMA synchronous=FULL"),
        "error: Safety level may not be changed inside a transaction");
    ASSERT_EQ(run(writer, "COMMIT"), "");
    ASSERT_EQ(run(writer, "PRAGMA synchronous"), "1");

    expectEveryCommitReadWhole();
    EXPECT_EQ(FailingDisk::bigWrites.load(), 0) << "commits at NORMAL are written as they come";
}

} // namespace
