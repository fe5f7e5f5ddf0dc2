#include "platform/coredata/WalWriteBuffer.h"

#include <QByteArray>

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
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

// A log file, followed in memory by the lower layer's file. The bytes gathered go at
// `start` in the file.
struct LogFile {
    sqlite3_file base;
    sqlite3_file* lower;
    char* gathered;
    sqlite3_int64 start;
    int length;
};

LogFile* logOf(sqlite3_file* file)
{
    return reinterpret_cast<LogFile*>(file);
}

const sqlite3_io_methods* lowerMethods(sqlite3_file* file)
{
    return logOf(file)->lower->pMethods;
}

int flush(sqlite3_file* file)
{
    LogFile* log = logOf(file);
    if (log->length == 0)
        return SQLITE_OK;
    const int length = std::exchange(log->length, 0);
    return lowerMethods(file)->xWrite(log->lower, log->gathered, length, log->start);
}

int logClose(sqlite3_file* file)
{
    const int flushed = flush(file);
    const int closed = lowerMethods(file)->xClose(logOf(file)->lower);
    std::free(std::exchange(logOf(file)->gathered, nullptr));
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
    // Right after the bytes gathered, and room for it: gathered too.
    if (log->length > 0 && offset == log->start + log->length && amount <= Capacity - log->length) {
        std::memcpy(log->gathered + log->length, data, size_t(amount));
        log->length += amount;
        return SQLITE_OK;
    }
    // Anywhere else (SQLite rewriting a page of the save, a new log's header): what was
    // gathered goes first, so that the file sees the writes in SQLite's order.
    const int rc = flush(file);
    if (rc != SQLITE_OK)
        return rc;
    if (amount >= Capacity)
        return lowerMethods(file)->xWrite(log->lower, data, amount, offset);
    if (!log->gathered)
        log->gathered = static_cast<char*>(std::malloc(Capacity));
    if (!log->gathered)
        return lowerMethods(file)->xWrite(log->lower, data, amount, offset);
    std::memcpy(log->gathered, data, size_t(amount));
    log->start = offset;
    log->length = amount;
    return SQLITE_OK;
}

int logTruncate(sqlite3_file* file, sqlite3_int64 size)
{
    const int rc = flush(file);
    return rc != SQLITE_OK ? rc : lowerMethods(file)->xTruncate(logOf(file)->lower, size);
}

int logSync(sqlite3_file* file, int flags)
{
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

sqlite3_vfs* lowerOf(sqlite3_vfs* vfs)
{
    return static_cast<Layer*>(vfs->pAppData)->lower;
}

int layerOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    sqlite3_vfs* lower = lowerOf(vfs);
    // Any other file is the lower layer's own, in the same memory.
    if (!(flags & SQLITE_OPEN_WAL))
        return lower->xOpen(lower, name, file, flags, outFlags);
    LogFile* log = logOf(file);
    log->lower = reinterpret_cast<sqlite3_file*>(log + 1);
    log->gathered = nullptr;
    log->start = 0;
    log->length = 0;
    const int rc = lower->xOpen(lower, name, log->lower, flags, outFlags);
    file->pMethods = log->lower->pMethods ? &LogMethods : nullptr;
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
    layer->vfs.szOsFile = std::max(current->szOsFile, int(sizeof(LogFile)) + current->szOsFile);
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
