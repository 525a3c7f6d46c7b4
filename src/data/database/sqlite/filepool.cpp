// The shop file's kept connections.
#include "filepool.h"

#include "sqlitefile.h"

#include <QFile>
#include <sys/stat.h>

bool FileShopState::identify(const QString &path, Identity &identity) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    identity = {status.st_dev, status.st_ino};
    return true;
}

std::unique_ptr<SqliteFile> FileShopState::take(const QString &path) {
    std::optional<Kept> kept = idle_.take();
    if (!kept)
        return nullptr;
    // The file at the path is still the one it was opened on: the same device and inode as
    // when it was kept (which no other file can have while it is held open), and SQLite
    // finds its own open file at the path.
    Identity now;
    if (identify(path, now) && now == kept->identity && !kept->file->hasMoved())
        return std::move(kept->file);
    // The others were opened on the same file as this one.
    idle_.clear();
    return nullptr;
}

void FileShopState::put(std::unique_ptr<SqliteFile> file, const QString &path) {
    Identity identity;
    if (!file->leavesNothingBehind() || !identify(path, identity) || file->hasMoved())
        return;
    // Kept, it holds no pages: the closed screen's memory is given back, and the next screen
    // reads what it shows as a new connection would.
    file->releaseCache();
    idle_.put({std::move(file), identity});
}
