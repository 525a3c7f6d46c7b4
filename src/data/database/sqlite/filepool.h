// What the file's driver keeps of one shop while the program has it open, for every copy of
// its ShopDatabase: the connections of its closed screens, for the next screens to take. A
// new connection reads the file's whole schema at its first statement, which is most of the
// cost of opening a screen on a file of many tables.
#pragma once

#include "driver.h"
#include "idlepool.h"

#include <QString>
#include <memory>
#include <sys/types.h>

class SqliteFile;

class FileShopState : public ShopState {
public:
    // A connection a closed screen left on the file that is at `path` now, never one on a
    // file put aside, restored over or made anew since; none when none is kept.
    std::unique_ptr<SqliteFile> take(const QString &path);
    // Keeps the connection when the next screen would find nothing of this one's on it
    // (sqlitefile.h) and the file is still at `path`; closes it otherwise.
    void put(std::unique_ptr<SqliteFile> file, const QString &path);
    void closeIdle() override { idle_.clear(); }
    std::size_t idleCount() const override { return idle_.size(); }

private:
    // Which file a path names: the same path may name another file after a restore.
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const Identity &) const = default;
    };
    static bool identify(const QString &path, Identity &identity);

    struct Kept {
        std::unique_ptr<SqliteFile> file;
        Identity identity;
    };
    IdlePool<Kept> idle_;
};
