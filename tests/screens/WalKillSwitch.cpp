#include "WalKillSwitch.h"

#include <sqlite3.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace screenstest {

namespace {

std::atomic<qint64> budget { -1 };
sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs shimVfs;
sqlite3_io_methods shimMethods;

// Our file, followed in memory by the real file.
struct ShimFile {
    sqlite3_file base;
    bool isLog;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

ShimFile* shim(sqlite3_file* file)
{
    return reinterpret_cast<ShimFile*>(file);
}

const sqlite3_io_methods* methods(sqlite3_file* file)
{
    return shim(file)->real()->pMethods;
}

int shimWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset)
{
    const int rc = methods(file)->xWrite(shim(file)->real(), data, amount, offset);
    if (shim(file)->isLog && budget.load() >= 0 && budget.fetch_sub(amount) - amount <= 0)
        ::raise(SIGKILL);
    return rc;
}

int shimClose(sqlite3_file* file)
{
    return methods(file)->xClose(shim(file)->real());
}

int shimOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    ShimFile* own = shim(file);
    own->isLog = (flags & SQLITE_OPEN_WAL) != 0;
    const int rc = realVfs->xOpen(realVfs, name, own->real(), flags, outFlags);
    // Every call but writing and closing goes straight to the real file.
    file->pMethods = own->real()->pMethods ? &shimMethods : nullptr;
    return rc;
}

} // namespace

void WalKillSwitch::install()
{
    realVfs = sqlite3_vfs_find(nullptr);
    shimVfs = *realVfs;
    shimVfs.zName = "walkillswitch";
    shimVfs.szOsFile = int(sizeof(ShimFile)) + realVfs->szOsFile;
    shimVfs.xOpen = shimOpen;
    std::memset(&shimMethods, 0, sizeof shimMethods);
    shimMethods.iVersion = 3;
    shimMethods.xClose = shimClose;
    shimMethods.xWrite = shimWrite;
    shimMethods.xRead = [](sqlite3_file* f, void* d, int n, sqlite3_int64 o) {
        return methods(f)->xRead(shim(f)->real(), d, n, o);
    };
    shimMethods.xTruncate = [](sqlite3_file* f, sqlite3_int64 size) {
        return methods(f)->xTruncate(shim(f)->real(), size);
    };
    shimMethods.xSync
        = [](sqlite3_file* f, int flags) { return methods(f)->xSync(shim(f)->real(), flags); };
    shimMethods.xFileSize = [](sqlite3_file* f, sqlite3_int64* size) {
        return methods(f)->xFileSize(shim(f)->real(), size);
    };
    shimMethods.xLock
        = [](sqlite3_file* f, int lock) { return methods(f)->xLock(shim(f)->real(), lock); };
    shimMethods.xUnlock
        = [](sqlite3_file* f, int lock) { return methods(f)->xUnlock(shim(f)->real(), lock); };
    shimMethods.xCheckReservedLock = [](sqlite3_file* f, int* out) {
        return methods(f)->xCheckReservedLock(shim(f)->real(), out);
    };
    shimMethods.xFileControl = [](sqlite3_file* f, int op, void* arg) {
        return methods(f)->xFileControl(shim(f)->real(), op, arg);
    };
    shimMethods.xSectorSize
        = [](sqlite3_file* f) { return methods(f)->xSectorSize(shim(f)->real()); };
    shimMethods.xDeviceCharacteristics
        = [](sqlite3_file* f) { return methods(f)->xDeviceCharacteristics(shim(f)->real()); };
    shimMethods.xShmMap = [](sqlite3_file* f, int page, int size, int extend, void volatile** p) {
        return methods(f)->xShmMap(shim(f)->real(), page, size, extend, p);
    };
    shimMethods.xShmLock = [](sqlite3_file* f, int offset, int n, int flags) {
        return methods(f)->xShmLock(shim(f)->real(), offset, n, flags);
    };
    shimMethods.xShmBarrier = [](sqlite3_file* f) { methods(f)->xShmBarrier(shim(f)->real()); };
    shimMethods.xShmUnmap = [](sqlite3_file* f, int deleteFlag) {
        return methods(f)->xShmUnmap(shim(f)->real(), deleteFlag);
    };
    shimMethods.xFetch = [](sqlite3_file* f, sqlite3_int64 offset, int amount, void** p) {
        return methods(f)->xFetch(shim(f)->real(), offset, amount, p);
    };
    shimMethods.xUnfetch = [](sqlite3_file* f, sqlite3_int64 offset, void* p) {
        return methods(f)->xUnfetch(shim(f)->real(), offset, p);
    };
    sqlite3_vfs_register(&shimVfs, 1);
}

void WalKillSwitch::arm(qint64 bytes)
{
    budget = bytes;
}

} // namespace screenstest
