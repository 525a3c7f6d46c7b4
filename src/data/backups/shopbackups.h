// Backups of the shop database in a `backups` folder beside the file: consistent copies made
// with SQLite's online backup in small steps (while the program runs), checked, compressed
// with zstd and kept by age; the check of the file at start; and putting a backup back.
#pragma once

#include "backupfile.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

struct BackupEntry {
    QString path;
    backupfile::Facts facts; // sales and titles -1 for an uncompressed copy of an older version
    bool packed = false;     // .mdb.zst; else a plain SQLite copy
    qint64 fileBytes = 0;
    bool beforeUpgrade = false; // taken just before the shop was upgraded
};

// A backup of every day, kept by age; or the one taken just before an upgrade, named apart
// ("book1-before-upgrade-20261207-231500.mdb.zst") and kept, whatever its age, until the
// next upgrade's takes its place.
enum class BackupKind { Daily, BeforeUpgrade };

class ShopBackups {
public:
    explicit ShopBackups(const QString &databasePath);

    QString databasePath() const { return databasePath_; }
    // <folder of the database>/backups
    QString folder() const;
    // The backups of this database, newest first ("book1-20261207-231500.mdb.zst", and the
    // one taken before an upgrade).
    QStringList list() const;
    std::vector<BackupEntry> entries() const;
    // True when a backup was taken on that day.
    bool hasBackupOf(const QDate &day) const;
    // True when nothing has been written into the shop file since the newest backup was
    // made: a copy now would repeat it.
    bool unchangedSinceNewest() const;

    // Copies the database with SQLite's online backup a few pages at a time (a consistent
    // copy, however much another connection writes meanwhile), checks the copy, counts its
    // sales and titles, compresses it and only then gives it its name; then keeps the
    // backups by age (backupretention). A copy that fails its check is thrown away, as is
    // everything of a backup that is stopped or killed half-way. `progress` is asked between
    // steps (false stops it: Cancelled). Returns the new backup's path; throws DataError
    // saying why no backup was made.
    QString take(const QDateTime &when, const backupfile::Progress &progress = {},
                 BackupKind kind = BackupKind::Daily) const;
    // Removes the backups that the keeping by age no longer wants (never the one taken before
    // the last upgrade).
    void rotate(const QDate &today) const;

    // The newest backup that passes its whole check; empty when there is none.
    QString newestGood() const;
    // A backup's whole check: it unpacks, its database passes the quick check and holds the
    // sales and titles and is of the version it says. `problem` receives why not.
    static bool passesCheck(const QString &backup, QString *problem = nullptr);

    // What the operator must read at start: empty when the file is sound, or missing (the
    // screens say so when they open), or cannot be read for another reason (busy, ...);
    // otherwise that the file is damaged and which backup to restore.
    QString startWarning() const;

    // PRAGMA quick_check on a database file: true for "ok". `problem` receives the first
    // problem found, or why the file could not be checked.
    // `progress` (when given) is asked now and then; false stops the check (Cancelled).
    static bool passesQuickCheck(const QString &path, QString *problem = nullptr,
                                 const backupfile::Progress &progress = {});

    // Puts a backup in place of the database, which nothing may have open: checks the
    // backup whole, keeps the current file (with its -wal) aside under a dated name, and
    // puts the checked copy in its place. Returns the path the current file was kept under
    // (empty when there was none). Throws DataError; the current file is untouched then.
    QString restore(const QString &backup, const QDateTime &now,
                    const backupfile::Progress &progress = {}) const;

private:
    enum class Health { Sound, Damaged, Unknown };
    static Health checkHealth(const QString &path, QString *problem,
                              const backupfile::Progress &progress = {});
    // Unpacks a backup into `target` and checks the database it gives against its facts.
    static bool unpackChecked(const QString &backup, const QString &target,
                              const backupfile::Progress &progress, QString *problem);
    void copyOnline(const QString &copy, const backupfile::Progress &progress) const;
    void removeLeftovers() const;

    QString databasePath_;
};
