#include "platform/coredata/WalWriteBuffer.h"

#include <QByteArray>

#include <sqlite3.h>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::coredata {

namespace {

// The most bytes gathered before they are written: below the 128 KiB that SQLite's own
// layer writes at most in one call (it fails bigger writes whose size is a multiple of
// that as a full disk).
constexpr int Capacity = 120 * 1024;

// The layer over one lower file system.
struct Layer {
    sqlite3_vfs vfs;
    sqlite3_vfs* lower = nullptr;
    QByteArray name;
};

struct MainFile;

class LogWriter;

// A log file, followed in memory by the lower layer's file. The bytes gathered go at
// `start` in the file; `holdsCommit` when among them is a frame that ends a commit. Full
// gatherings are written by `writer`, made at the first. The disk is told to start
// writing what was written through `writebackFile` (-1 when the log could not be opened
// for it).
struct LogFile {
    sqlite3_file base;
    sqlite3_file* lower;
    char* gathered;
    sqlite3_int64 start;
    int length;
    bool holdsCommit;
    MainFile* main;
    int writebackFile;
    LogWriter* writer;
};

// A store file whose connection writes a log through this layer, followed in memory by
// the lower layer's file. It is told when its connection lets go of the log's write
// lock: the log's gathered bytes are then a save given up, never to be written.
struct MainFile {
    sqlite3_file base;
    sqlite3_file* lower;
    const char* name;
    LogFile* log;
    // Only while the log is synced at every commit, before other connections are told of
    // it, are its writes gathered. SQLite may refuse a "PRAGMA synchronous" (inside a
    // transaction), so a level asked for is not taken on trust: a commit that syncs the log
    // before the connection lets go of the write lock shows it, and a lower level asked
    // for, or a commit without that sync, ends it at once.
    bool syncsEveryCommit;
    // What the connection did since it took the log's write lock.
    bool holdsWriteLock;
    bool wroteCommit;
    bool syncedCommit;
};

// The log and store file of one connection share the name SQLite gave the store file:
// a log finds its store file by it.
std::mutex& filesMutex()
{
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::vector<MainFile*>& openMainFiles()
{
    static auto* files = new std::vector<MainFile*>;
    return *files;
}

// The size of a log frame's header: SQLite writes it on its own before the page.
constexpr int FrameHeaderSize = 24;

LogFile* logOf(sqlite3_file* file)
{
    return reinterpret_cast<LogFile*>(file);
}

const sqlite3_io_methods* lowerMethods(sqlite3_file* file)
{
    return logOf(file)->lower->pMethods;
}

// A save of many pages writes its frames well before its commit syncs them: the disk is
// told to start on them every few MiB as they come, so that the sync finds most of them
// written. Only a start: the sync at the commit is what makes them durable, as before.
constexpr sqlite3_int64 WritebackBytes = 4 << 20;

// Full gatherings waiting for the writer at most: a save that writes faster than the
// system takes the bytes waits for it, holding no more than this.
constexpr int MostWaiting = 16;

// Writes a log's full gatherings on a thread of its own, in the order they were given,
// while SQLite goes on with the next frames: the system's copying of the bytes no longer
// holds up the commit. Every other use of the log waits until they are written first.
class LogWriter {
public:
    LogWriter(sqlite3_file* lower, int writebackFile)
        : m_lower(lower)
        , m_writebackFile(writebackFile)
    {
        static const bool followed = ::pthread_atfork(nullptr, nullptr, [] { ++forks; }) == 0;
        (void)followed;
        m_forksBefore = forks.load(std::memory_order_relaxed);
    }
    ~LogWriter()
    {
        {
            std::lock_guard lock(m_mutex);
            m_ending = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        for (const Write& write : m_waiting)
            std::free(write.bytes);
        for (char* bytes : m_spare)
            std::free(bytes);
    }
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // False in a child the process forked since it was made: its thread is not there,
    // and its lock may have been held by it.
    bool ofThisProcess() const { return m_forksBefore == forks.load(std::memory_order_relaxed); }

    // Takes `length` bytes at `bytes` (of Capacity, from malloc) to write at `offset`;
    // an empty buffer to gather the next ones in, null when none could be had. `failed`
    // tells a failure of an earlier write, which the next wait() tells again.
    char* give(char* bytes, int length, sqlite3_int64 offset, int* failed)
    {
        std::unique_lock lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        m_given.wait(lock, [this] { return m_waiting.size() < size_t(MostWaiting); });
        m_waiting.push_back({ bytes, length, offset });
        *failed = m_failure;
        char* spare = nullptr;
        if (!m_spare.empty()) {
            spare = m_spare.back();
            m_spare.pop_back();
        }
        lock.unlock();
        m_changed.notify_all();
        return spare ? spare : static_cast<char*>(std::malloc(Capacity));
    }
    // Waits until every write given is done: the first that failed since the last wait,
    // SQLITE_OK when none did.
    int wait()
    {
        std::unique_lock lock(m_mutex);
        m_given.wait(lock, [this] { return m_waiting.empty() && !m_writing; });
        return std::exchange(m_failure, SQLITE_OK);
    }

private:
    struct Write {
        char* bytes;
        int length;
        sqlite3_int64 offset;
    };

    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_ending || !m_waiting.empty(); });
            if (m_waiting.empty())
                return;
            const Write write = m_waiting.front();
            m_waiting.pop_front();
            m_writing = true;
            // After a failure the save fails: what follows is not written after a hole.
            const bool skipped = m_failure != SQLITE_OK;
            lock.unlock();
            const int rc = skipped
                ? SQLITE_OK
                : m_lower->pMethods->xWrite(m_lower, write.bytes, write.length, write.offset);
            if (!skipped && rc == SQLITE_OK)
                startWriteback(write.offset, write.offset + write.length);
            lock.lock();
            if (rc != SQLITE_OK && m_failure == SQLITE_OK)
                m_failure = rc;
            m_spare.push_back(write.bytes);
            m_writing = false;
            m_given.notify_all();
        }
    }

    void startWriteback(sqlite3_int64 start, sqlite3_int64 end)
    {
        if (m_writebackFile < 0)
            return;
        // The log began again from its start: what was told before is written by now.
        if (start < m_writebackFrom)
            m_writebackFrom = start;
        if (end - m_writebackFrom < WritebackBytes)
            return;
        ::sync_file_range(
            m_writebackFile, m_writebackFrom, end - m_writebackFrom, SYNC_FILE_RANGE_WRITE);
        m_writebackFrom = end;
    }

    static inline std::atomic<unsigned> forks { 0 };

    sqlite3_file* const m_lower;
    const int m_writebackFile;
    unsigned m_forksBefore = 0;
    sqlite3_int64 m_writebackFrom = 0; // the writer's own
    std::mutex m_mutex;
    std::condition_variable m_changed; // for the writer: a write given, or the end
    std::condition_variable m_given; // for SQLite's side: a write done
    std::deque<Write> m_waiting;
    std::vector<char*> m_spare;
    bool m_writing = false;
    bool m_ending = false;
    int m_failure = SQLITE_OK;
    std::thread m_thread;
};

// The log's writer, made when `make`. One a forked child took over from its parent is
// left as it is: the child makes its own.
LogWriter* writerOf(LogFile* log, bool make)
{
    if (log->writer && !log->writer->ofThisProcess())
        log->writer = nullptr;
    if (!log->writer && make)
        log->writer = new LogWriter(log->lower, log->writebackFile);
    return log->writer;
}

// Gives what is gathered to the log's writer, to be written after what was given before.
int handOver(LogFile* log)
{
    writerOf(log, true);
    const int length = std::exchange(log->length, 0);
    log->holdsCommit = false;
    int failed = SQLITE_OK;
    log->gathered = log->writer->give(log->gathered, length, log->start, &failed);
    return failed;
}

// Every byte written so far is in the file: what was given to the writer is written, and
// what is gathered is written here. After a failure nothing more is written: the save
// fails, and nothing lands after a hole.
int flush(sqlite3_file* file)
{
    LogFile* log = logOf(file);
    LogWriter* writer = writerOf(log, false);
    const int given = writer ? writer->wait() : SQLITE_OK;
    if (log->length == 0)
        return given;
    const int length = std::exchange(log->length, 0);
    log->holdsCommit = false;
    return given != SQLITE_OK
        ? given
        : lowerMethods(file)->xWrite(log->lower, log->gathered, length, log->start);
}

// A frame header whose second word (the store's size after a commit) is not zero.
bool isCommitFrameHeader(const void* data, int amount)
{
    if (amount != FrameHeaderSize)
        return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    return (bytes[4] | bytes[5] | bytes[6] | bytes[7]) != 0;
}

// The connection let go of the log's write lock. With the log synced at every commit,
// whatever is still gathered belongs to a save that was rolled back: written later, it
// could land on frames another writer has committed since, so it goes. A commit frame
// among them means the log was not synced: those are written, as SQLite would have.
void writeLockReleased(LogFile* log)
{
    if (!log || log->length == 0)
        return;
    if (log->holdsCommit) {
        flush(&log->base);
        return;
    }
    log->length = 0;
}

int logClose(sqlite3_file* file)
{
    {
        std::lock_guard lock(filesMutex());
        if (MainFile* main = std::exchange(logOf(file)->main, nullptr))
            main->log = nullptr;
    }
    const int flushed = flush(file);
    delete std::exchange(logOf(file)->writer, nullptr);
    const int closed = lowerMethods(file)->xClose(logOf(file)->lower);
    std::free(std::exchange(logOf(file)->gathered, nullptr));
    if (const int writeback = std::exchange(logOf(file)->writebackFile, -1); writeback >= 0)
        ::close(writeback);
    return flushed != SQLITE_OK ? flushed : closed;
}

int logRead(sqlite3_file* file, void* data, int amount, sqlite3_int64 offset)
{
    const int rc = flush(file);
    return rc != SQLITE_OK ? rc
                           : lowerMethods(file)->xRead(logOf(file)->lower, data, amount, offset);
}

int logWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset)
{
    LogFile* log = logOf(file);
    if (log->main && log->main->holdsWriteLock && isCommitFrameHeader(data, amount))
        log->main->wroteCommit = true;
    // A log whose connection's write lock is not followed, or whose commits are not synced,
    // is written as it comes.
    if (!log->main || !log->main->syncsEveryCommit) {
        const int rc = flush(file);
        return rc != SQLITE_OK ? rc : lowerMethods(file)->xWrite(log->lower, data, amount, offset);
    }
    const auto gather = [&] {
        std::memcpy(log->gathered, data, size_t(amount));
        log->start = offset;
        log->length = amount;
        log->holdsCommit = isCommitFrameHeader(data, amount);
        return SQLITE_OK;
    };
    if (log->length > 0 && offset == log->start + log->length) {
        // Right after the bytes gathered, and room for it: gathered too.
        if (amount <= Capacity - log->length) {
            std::memcpy(log->gathered + log->length, data, size_t(amount));
            log->length += amount;
            log->holdsCommit = log->holdsCommit || isCommitFrameHeader(data, amount);
            return SQLITE_OK;
        }
        // A full gathering in a run of frames: written on the writer's thread while SQLite
        // goes on with the next ones.
        if (amount < Capacity) {
            const int rc = handOver(log);
            if (rc != SQLITE_OK)
                return rc;
            if (log->gathered)
                return gather();
        }
    }
    // Anywhere else (SQLite rewriting a page of the save, a new log's header): what was
    // written before goes first, so that the file sees the writes in SQLite's order.
    const int rc = flush(file);
    if (rc != SQLITE_OK)
        return rc;
    if (amount >= Capacity)
        return lowerMethods(file)->xWrite(log->lower, data, amount, offset);
    if (!log->gathered)
        log->gathered = static_cast<char*>(std::malloc(Capacity));
    if (!log->gathered)
        return lowerMethods(file)->xWrite(log->lower, data, amount, offset);
    return gather();
}

int logTruncate(sqlite3_file* file, sqlite3_int64 size)
{
    const int rc = flush(file);
    return rc != SQLITE_OK ? rc : lowerMethods(file)->xTruncate(logOf(file)->lower, size);
}

int logSync(sqlite3_file* file, int flags)
{
    if (MainFile* main = logOf(file)->main; main && main->holdsWriteLock && main->wroteCommit)
        main->syncedCommit = true;
    const int rc = flush(file);
    return rc != SQLITE_OK ? rc : lowerMethods(file)->xSync(logOf(file)->lower, flags);
}

int logFileSize(sqlite3_file* file, sqlite3_int64* size)
{
    const int rc = flush(file);
    return rc != SQLITE_OK ? rc : lowerMethods(file)->xFileSize(logOf(file)->lower, size);
}

int logLock(sqlite3_file* file, int lock)
{
    return lowerMethods(file)->xLock(logOf(file)->lower, lock);
}

int logUnlock(sqlite3_file* file, int lock)
{
    return lowerMethods(file)->xUnlock(logOf(file)->lower, lock);
}

int logCheckReservedLock(sqlite3_file* file, int* reserved)
{
    return lowerMethods(file)->xCheckReservedLock(logOf(file)->lower, reserved);
}

int logFileControl(sqlite3_file* file, int operation, void* argument)
{
    const int rc = flush(file);
    return rc != SQLITE_OK
        ? rc
        : lowerMethods(file)->xFileControl(logOf(file)->lower, operation, argument);
}

int logSectorSize(sqlite3_file* file)
{
    return lowerMethods(file)->xSectorSize(logOf(file)->lower);
}

int logDeviceCharacteristics(sqlite3_file* file)
{
    return lowerMethods(file)->xDeviceCharacteristics(logOf(file)->lower);
}

// Logs are only read, written, synced, sized and cut: no shared memory, no mapping.
const sqlite3_io_methods LogMethods = { 1, logClose, logRead, logWrite, logTruncate, logSync,
    logFileSize, logLock, logUnlock, logCheckReservedLock, logFileControl, logSectorSize,
    logDeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };

MainFile* mainOf(sqlite3_file* file)
{
    return reinterpret_cast<MainFile*>(file);
}

sqlite3_file* lowerMain(sqlite3_file* file)
{
    return mainOf(file)->lower;
}

const sqlite3_io_methods* mainMethods(sqlite3_file* file)
{
    return lowerMain(file)->pMethods;
}

int mainClose(sqlite3_file* file)
{
    {
        std::lock_guard lock(filesMutex());
        std::vector<MainFile*>& files = openMainFiles();
        files.erase(std::remove(files.begin(), files.end(), mainOf(file)), files.end());
        if (LogFile* log = std::exchange(mainOf(file)->log, nullptr))
            log->main = nullptr;
    }
    return mainMethods(file)->xClose(lowerMain(file));
}

int mainRead(sqlite3_file* file, void* data, int amount, sqlite3_int64 offset)
{
    return mainMethods(file)->xRead(lowerMain(file), data, amount, offset);
}

int mainWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset)
{
    return mainMethods(file)->xWrite(lowerMain(file), data, amount, offset);
}

int mainTruncate(sqlite3_file* file, sqlite3_int64 size)
{
    return mainMethods(file)->xTruncate(lowerMain(file), size);
}

int mainSync(sqlite3_file* file, int flags)
{
    return mainMethods(file)->xSync(lowerMain(file), flags);
}

int mainFileSize(sqlite3_file* file, sqlite3_int64* size)
{
    return mainMethods(file)->xFileSize(lowerMain(file), size);
}

int mainLock(sqlite3_file* file, int lock)
{
    return mainMethods(file)->xLock(lowerMain(file), lock);
}

int mainUnlock(sqlite3_file* file, int lock)
{
    return mainMethods(file)->xUnlock(lowerMain(file), lock);
}

int mainCheckReservedLock(sqlite3_file* file, int* reserved)
{
    return mainMethods(file)->xCheckReservedLock(lowerMain(file), reserved);
}

// Whether a "PRAGMA synchronous" value has the log synced at every commit.
bool syncsEveryCommit(const char* level)
{
    for (const char* full : { "full", "2", "extra", "3" }) {
        if (sqlite3_stricmp(level, full) == 0)
            return true;
    }
    return false;
}

int mainFileControl(sqlite3_file* file, int operation, void* argument)
{
    // SQLite shows the file every pragma of its connection before it runs it, and before
    // it knows whether it will refuse it. A lower sync level ends the gathering at once
    // (writing as SQLite writes is right at any level); a higher one waits for a commit
    // to show it. Once the gathering ends, the log's next write first writes what is
    // gathered, then itself.
    if (operation == SQLITE_FCNTL_PRAGMA) {
        char** words = static_cast<char**>(argument);
        if (words[1] && words[2] && sqlite3_stricmp(words[1], "synchronous") == 0
            && !syncsEveryCommit(words[2]))
            mainOf(file)->syncsEveryCommit = false;
    }
    return mainMethods(file)->xFileControl(lowerMain(file), operation, argument);
}

int mainSectorSize(sqlite3_file* file)
{
    return mainMethods(file)->xSectorSize(lowerMain(file));
}

int mainDeviceCharacteristics(sqlite3_file* file)
{
    return mainMethods(file)->xDeviceCharacteristics(lowerMain(file));
}

int mainShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** memory)
{
    return mainMethods(file)->xShmMap(lowerMain(file), region, size, extend, memory);
}

// The log's write lock is the first of the shared-memory locks.
constexpr int WriteLockSlot = 0;

// The level the connection's commits showed while it held the write lock.
void followCommits(MainFile* main)
{
    if (main->wroteCommit)
        main->syncsEveryCommit = main->syncedCommit;
    main->holdsWriteLock = main->wroteCommit = main->syncedCommit = false;
}

int mainShmLock(sqlite3_file* file, int offset, int count, int flags)
{
    const bool writeLock = offset <= WriteLockSlot && WriteLockSlot < offset + count;
    const bool releasesWriteLock = writeLock && flags == (SQLITE_SHM_UNLOCK | SQLITE_SHM_EXCLUSIVE);
    if (releasesWriteLock)
        followCommits(mainOf(file));
    // What was given to be written lands before another writer may write the log. Only a
    // save rolled back leaves any (a commit syncs them): a failure among them fails nothing.
    if (LogFile* log = mainOf(file)->log; releasesWriteLock && log) {
        if (LogWriter* writer = writerOf(log, false))
            writer->wait();
    }
    const int rc = mainMethods(file)->xShmLock(lowerMain(file), offset, count, flags);
    if (rc == SQLITE_OK && writeLock && flags == (SQLITE_SHM_LOCK | SQLITE_SHM_EXCLUSIVE)) {
        MainFile* main = mainOf(file);
        main->holdsWriteLock = true;
        main->wroteCommit = main->syncedCommit = false;
    }
    if (rc == SQLITE_OK && releasesWriteLock)
        writeLockReleased(mainOf(file)->log);
    return rc;
}

void mainShmBarrier(sqlite3_file* file)
{
    mainMethods(file)->xShmBarrier(lowerMain(file));
}

int mainShmUnmap(sqlite3_file* file, int deleteFlag)
{
    return mainMethods(file)->xShmUnmap(lowerMain(file), deleteFlag);
}

int mainFetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** pages)
{
    if (mainMethods(file)->iVersion < 3) {
        *pages = nullptr;
        return SQLITE_OK;
    }
    return mainMethods(file)->xFetch(lowerMain(file), offset, amount, pages);
}

int mainUnfetch(sqlite3_file* file, sqlite3_int64 offset, void* pages)
{
    if (mainMethods(file)->iVersion < 3)
        return SQLITE_OK;
    return mainMethods(file)->xUnfetch(lowerMain(file), offset, pages);
}

// Everything goes to the lower layer's file; the write lock's release is noted on the way.
const sqlite3_io_methods MainMethods = { 3, mainClose, mainRead, mainWrite, mainTruncate, mainSync,
    mainFileSize, mainLock, mainUnlock, mainCheckReservedLock, mainFileControl, mainSectorSize,
    mainDeviceCharacteristics, mainShmMap, mainShmLock, mainShmBarrier, mainShmUnmap, mainFetch,
    mainUnfetch };
const sqlite3_io_methods MainMethodsWithoutSharedMemory
    = { 1, mainClose, mainRead, mainWrite, mainTruncate, mainSync, mainFileSize, mainLock,
          mainUnlock, mainCheckReservedLock, mainFileControl, mainSectorSize,
          mainDeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };

sqlite3_vfs* lowerOf(sqlite3_vfs* vfs)
{
    return static_cast<Layer*>(vfs->pAppData)->lower;
}

int layerOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    sqlite3_vfs* lower = lowerOf(vfs);
    if ((flags & SQLITE_OPEN_MAIN_DB) && name) {
        MainFile* main = mainOf(file);
        main->lower = reinterpret_cast<sqlite3_file*>(main + 1);
        main->name = name;
        main->log = nullptr;
        main->syncsEveryCommit = false;
        main->holdsWriteLock = main->wroteCommit = main->syncedCommit = false;
        const int rc = lower->xOpen(lower, name, main->lower, flags, outFlags);
        const sqlite3_io_methods* methods = main->lower->pMethods;
        if (!methods) {
            file->pMethods = nullptr;
            return rc;
        }
        // Without shared memory there is no write lock to follow: its log is not gathered.
        if (methods->iVersion < 2) {
            file->pMethods = &MainMethodsWithoutSharedMemory;
            return rc;
        }
        file->pMethods = &MainMethods;
        std::lock_guard lock(filesMutex());
        openMainFiles().push_back(main);
        return rc;
    }
    // Any other file but a log is the lower layer's own, in the same memory.
    if (!(flags & SQLITE_OPEN_WAL) || !name)
        return lower->xOpen(lower, name, file, flags, outFlags);
    LogFile* log = logOf(file);
    log->lower = reinterpret_cast<sqlite3_file*>(log + 1);
    log->gathered = nullptr;
    log->start = 0;
    log->length = 0;
    log->holdsCommit = false;
    log->main = nullptr;
    log->writebackFile = -1;
    log->writer = nullptr;
    const int rc = lower->xOpen(lower, name, log->lower, flags, outFlags);
    file->pMethods = log->lower->pMethods ? &LogMethods : nullptr;
    if (!file->pMethods)
        return rc;
    // Its own descriptor of the file, for telling the disk to start writing; a log that
    // cannot be opened so is written as it would be without.
    if (rc == SQLITE_OK)
        log->writebackFile = ::open(name, O_RDONLY | O_CLOEXEC);
    {
        // The store file of the same connection, found by the very name it was given.
        std::lock_guard lock(filesMutex());
        const char* store = sqlite3_filename_database(name);
        for (MainFile* main : openMainFiles()) {
            if (main->name == store && !main->log) {
                main->log = log;
                log->main = main;
                break;
            }
        }
    }
    return rc;
}

int layerDelete(sqlite3_vfs* vfs, const char* name, int syncDirectory)
{
    return lowerOf(vfs)->xDelete(lowerOf(vfs), name, syncDirectory);
}

int layerAccess(sqlite3_vfs* vfs, const char* name, int flags, int* result)
{
    return lowerOf(vfs)->xAccess(lowerOf(vfs), name, flags, result);
}

int layerFullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out)
{
    return lowerOf(vfs)->xFullPathname(lowerOf(vfs), name, size, out);
}

} // namespace

const char* WalWriteBuffer::vfsName()
{
    // SQLite keeps pointers to the layers registered: they live as long as the process,
    // past the destruction of statics (a store may close then).
    static std::mutex mutex;
    static auto* layers = new std::vector<std::unique_ptr<Layer>>;
    std::lock_guard lock(mutex);
    sqlite3_vfs* current = sqlite3_vfs_find(nullptr);
    if (!current)
        return nullptr;
    for (const auto& layer : *layers) {
        if (layer->lower == current)
            return layer->name.constData();
    }
    auto layer = std::make_unique<Layer>();
    layer->lower = current;
    layer->name = "kivotab-walbuffer-" + QByteArray::number(qulonglong(layers->size()));
    layer->vfs = *current;
    layer->vfs.pNext = nullptr;
    layer->vfs.zName = layer->name.constData();
    layer->vfs.pAppData = layer.get();
    layer->vfs.szOsFile = int(std::max(sizeof(LogFile), sizeof(MainFile))) + current->szOsFile;
    layer->vfs.xOpen = layerOpen;
    layer->vfs.xDelete = layerDelete;
    layer->vfs.xAccess = layerAccess;
    layer->vfs.xFullPathname = layerFullPathname;
    if (sqlite3_vfs_register(&layer->vfs, 0) != SQLITE_OK)
        return nullptr;
    layers->push_back(std::move(layer));
    return layers->back()->name.constData();
}

} // namespace platform::coredata
