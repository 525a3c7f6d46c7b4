// Backups of the shop database: a consistent copy taken at each normal exit into a `backups`
// folder beside the file, the newest few kept; and the quick check of the file at start.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class ShopBackups {
public:
    static constexpr int defaultKeep = 7;

    explicit ShopBackups(const QString &databasePath, int keep = defaultKeep);

    QString databasePath() const { return databasePath_; }
    // <folder of the database>/backups
    QString folder() const;
    // The backups of this database, newest first ("book1-20261207-231500.mdb").
    QStringList list() const;

    // Copies the database with SQLite's online backup (a consistent copy even while another
    // connection writes), checks the copy, and then removes all but the newest `keep`
    // backups. A copy that fails its check is thrown away and the older backups stay.
    // Returns the new backup's path; throws DataError saying why no backup was made.
    QString take(const QDateTime &when) const;

    // The newest backup that passes the quick check; empty when there is none.
    QString newestGood() const;

    // What the operator must read at start: empty when the file is sound, or missing (the
    // screens say so when they open), or cannot be read for another reason (busy, ...);
    // otherwise that the file is damaged and where the newest good backup is.
    QString startWarning() const;

    // PRAGMA quick_check on a file opened read-only: true for "ok". `problem` receives the
    // first problem found, or why the file could not be checked.
    static bool passesQuickCheck(const QString &path, QString *problem = nullptr);

private:
    enum class Health { Sound, Damaged, Unknown };
    static Health checkHealth(const QString &path, QString *problem);
    void rotate() const;

    QString databasePath_;
    int keep_;
};
