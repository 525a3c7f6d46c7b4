// A VFS shim: every call goes to the default VFS; xSync is counted on the way.
#include "synccounter.h"

#include <atomic>
#include <sqlite3.h>

namespace {

std::atomic<std::uint64_t> syncs{0};
sqlite3_vfs *realVfs = nullptr;
sqlite3_vfs countingVfs;

// Our file: the method table, then the real VFS's file right behind it.
struct CountingFile {
    sqlite3_file base;
    sqlite3_file *real;
};

sqlite3_file *real(sqlite3_file *file) {
    return reinterpret_cast<CountingFile *>(file)->real;
}

int fileClose(sqlite3_file *f) {
    return real(f)->pMethods->xClose(real(f));
}
int fileRead(sqlite3_file *f, void *buffer, int amount, sqlite3_int64 offset) {
    return real(f)->pMethods->xRead(real(f), buffer, amount, offset);
}
int fileWrite(sqlite3_file *f, const void *buffer, int amount, sqlite3_int64 offset) {
    return real(f)->pMethods->xWrite(real(f), buffer, amount, offset);
}
int fileTruncate(sqlite3_file *f, sqlite3_int64 size) {
    return real(f)->pMethods->xTruncate(real(f), size);
}
int fileSync(sqlite3_file *f, int flags) {
    ++syncs;
    return real(f)->pMethods->xSync(real(f), flags);
}
int fileSize(sqlite3_file *f, sqlite3_int64 *size) {
    return real(f)->pMethods->xFileSize(real(f), size);
}
int fileLock(sqlite3_file *f, int lock) {
    return real(f)->pMethods->xLock(real(f), lock);
}
int fileUnlock(sqlite3_file *f, int lock) {
    return real(f)->pMethods->xUnlock(real(f), lock);
}
int fileCheckReservedLock(sqlite3_file *f, int *out) {
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int fileControl(sqlite3_file *f, int op, void *arg) {
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int fileSectorSize(sqlite3_file *f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int fileDeviceCharacteristics(sqlite3_file *f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int fileShmMap(sqlite3_file *f, int region, int size, int extend, void volatile **out) {
    return real(f)->pMethods->xShmMap(real(f), region, size, extend, out);
}
int fileShmLock(sqlite3_file *f, int offset, int n, int flags) {
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void fileShmBarrier(sqlite3_file *f) {
    real(f)->pMethods->xShmBarrier(real(f));
}
int fileShmUnmap(sqlite3_file *f, int deleteFlag) {
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
int fileFetch(sqlite3_file *f, sqlite3_int64 offset, int amount, void **out) {
    return real(f)->pMethods->xFetch(real(f), offset, amount, out);
}
int fileUnfetch(sqlite3_file *f, sqlite3_int64 offset, void *page) {
    return real(f)->pMethods->xUnfetch(real(f), offset, page);
}

const sqlite3_io_methods countingMethods = {
    3,
    fileClose,
    fileRead,
    fileWrite,
    fileTruncate,
    fileSync,
    fileSize,
    fileLock,
    fileUnlock,
    fileCheckReservedLock,
    fileControl,
    fileSectorSize,
    fileDeviceCharacteristics,
    fileShmMap,
    fileShmLock,
    fileShmBarrier,
    fileShmUnmap,
    fileFetch,
    fileUnfetch,
};

int vfsOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags) {
    auto *counting = reinterpret_cast<CountingFile *>(file);
    counting->real = reinterpret_cast<sqlite3_file *>(counting + 1);
    const int rc = realVfs->xOpen(realVfs, name, counting->real, flags, outFlags);
    // SQLite calls xClose only when pMethods is set: leave it unset when the real open
    // left nothing to close.
    counting->base.pMethods = counting->real->pMethods ? &countingMethods : nullptr;
    return rc;
}
int vfsDelete(sqlite3_vfs *, const char *name, int syncDir) {
    return realVfs->xDelete(realVfs, name, syncDir);
}
int vfsAccess(sqlite3_vfs *, const char *name, int flags, int *out) {
    return realVfs->xAccess(realVfs, name, flags, out);
}
int vfsFullPathname(sqlite3_vfs *, const char *name, int size, char *out) {
    return realVfs->xFullPathname(realVfs, name, size, out);
}
void *vfsDlOpen(sqlite3_vfs *, const char *name) {
    return realVfs->xDlOpen(realVfs, name);
}
void vfsDlError(sqlite3_vfs *, int size, char *out) {
    realVfs->xDlError(realVfs, size, out);
}
void (*vfsDlSym(sqlite3_vfs *, void *handle, const char *symbol))(void) {
    return realVfs->xDlSym(realVfs, handle, symbol);
}
void vfsDlClose(sqlite3_vfs *, void *handle) {
    realVfs->xDlClose(realVfs, handle);
}
int vfsRandomness(sqlite3_vfs *, int size, char *out) {
    return realVfs->xRandomness(realVfs, size, out);
}
int vfsSleep(sqlite3_vfs *, int microseconds) {
    return realVfs->xSleep(realVfs, microseconds);
}
int vfsCurrentTime(sqlite3_vfs *, double *out) {
    return realVfs->xCurrentTime(realVfs, out);
}
int vfsGetLastError(sqlite3_vfs *, int size, char *out) {
    return realVfs->xGetLastError(realVfs, size, out);
}
int vfsCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *out) {
    return realVfs->xCurrentTimeInt64(realVfs, out);
}

} // namespace

namespace synccounter {

void install() {
    if (realVfs != nullptr)
        return;
    realVfs = sqlite3_vfs_find(nullptr);
    countingVfs = sqlite3_vfs{};
    countingVfs.iVersion = 2;
    countingVfs.szOsFile = static_cast<int>(sizeof(CountingFile)) + realVfs->szOsFile;
    countingVfs.mxPathname = realVfs->mxPathname;
    countingVfs.zName = "quillmart-syncs";
    countingVfs.xOpen = vfsOpen;
    countingVfs.xDelete = vfsDelete;
    countingVfs.xAccess = vfsAccess;
    countingVfs.xFullPathname = vfsFullPathname;
    countingVfs.xDlOpen = vfsDlOpen;
    countingVfs.xDlError = vfsDlError;
    countingVfs.xDlSym = vfsDlSym;
    countingVfs.xDlClose = vfsDlClose;
    countingVfs.xRandomness = vfsRandomness;
    countingVfs.xSleep = vfsSleep;
    countingVfs.xCurrentTime = vfsCurrentTime;
    countingVfs.xGetLastError = vfsGetLastError;
    countingVfs.xCurrentTimeInt64 = vfsCurrentTimeInt64;
    sqlite3_vfs_register(&countingVfs, 1);
}

std::uint64_t count() {
    return syncs.load();
}

} // namespace synccounter
