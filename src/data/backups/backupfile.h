// One backup file: the shop database compressed with zstd (the standard `zstd -d` restores
// it), led by a small skippable frame that says when it was taken and how many sales and
// titles it holds and the shop's version, so that a list of backups needs no unpacking.
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

namespace backupfile {

struct Facts {
    QDateTime taken;
    qint64 sales = -1; // -1: not known (a copy made by an older version)
    qint64 titles = -1;
    qint64 bytes = 0; // of the database once unpacked
    int version = 1;  // the shop's (a backup of an older program's says none: version 1)
};
// A count of the facts as a list of backups shows it: "?" when it is not known.
QString countText(qint64 count);

// Called now and then with the share done (0..1); false stops the work (Cancelled).
using Progress = std::function<bool(double done)>;

// Compresses the database file `database` into `target` (created 0600, written whole and
// synced to disk before this returns). Throws DataError.
void pack(const QString &database, const Facts &facts, const QString &target,
          const Progress &progress = {});

// Reads the leading frame only; false when the file is not a backup of this kind.
bool readFacts(const QString &backup, Facts *facts);

// Unpacks a backup into `target` (created 0600, synced), checking zstd's own checksum and
// the size; returns the facts it says. Throws DataError saying what is wrong.
Facts unpack(const QString &backup, const QString &target, const Progress &progress = {});

// Makes a file or folder private to its owner (0600, 0700).
void makePrivateFile(const QString &path);
bool makePrivateFolder(const QString &path);

// Syncs a file's or a folder's entry to disk (after a rename).
void syncToDisk(const QString &path);

} // namespace backupfile
