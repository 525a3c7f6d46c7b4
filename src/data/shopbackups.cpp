// Backups of the shop database with SQLite's online backup, and the quick check at start.
#include "shopbackups.h"

#include "databaseerrors.h"
#include "dataerror.h"
#include "privatefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {

// A file opened for checking or copying; closed on every way out.
class RawFile {
public:
    RawFile(const QString &path, int flags) : path_(path) {
        rc_ = sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, flags, nullptr);
        if (db_ != nullptr) {
            sqlite3_extended_result_codes(db_, 1);
            sqlite3_busy_timeout(db_, 2000);
        }
    }
    ~RawFile() { sqlite3_close_v2(db_); }
    RawFile(const RawFile &) = delete;
    RawFile &operator=(const RawFile &) = delete;

    bool opened() const { return rc_ == SQLITE_OK; }
    int openCode() const { return rc_; }
    sqlite3 *handle() const { return db_; }
    QString failure(int code) const {
        const QString engineText = db_ != nullptr ? QString::fromUtf8(sqlite3_errmsg(db_))
                                                  : QString::fromUtf8(sqlite3_errstr(code));
        return dberror::operatorText(code, engineText, path_);
    }

private:
    QString path_;
    sqlite3 *db_ = nullptr;
    int rc_ = SQLITE_OK;
};

bool isDamageCode(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

void removeWithSideFiles(const QString &path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    QFile::remove(path + QStringLiteral("-journal"));
}

QString noBackup(const QString &why) {
    return QStringLiteral("No backup of the shop database was made: %1").arg(why);
}

} // namespace

ShopBackups::ShopBackups(const QString &databasePath, int keep)
    : databasePath_(databasePath), keep_(keep) {}

QString ShopBackups::folder() const {
    return QFileInfo(databasePath_).absoluteDir().filePath(QStringLiteral("backups"));
}

QStringList ShopBackups::list() const {
    // Only names of the form <name>-yyyyMMdd-HHmmss.mdb: the stamp sorts them by time.
    const QString base = QFileInfo(databasePath_).completeBaseName();
    const QRegularExpression pattern(
        QStringLiteral("^%1-\\d{8}-\\d{6}\\.mdb$").arg(QRegularExpression::escape(base)));
    QStringList result;
    const QDir dir(folder());
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name | QDir::Reversed))
        if (pattern.match(name).hasMatch())
            result << dir.filePath(name);
    return result;
}

QString ShopBackups::take(const QDateTime &when) const {
    if (!QFileInfo::exists(databasePath_))
        throw DataError(noBackup(dberror::missingFile(databasePath_)));
    if (!privatefiles::makeFolder(folder()))
        throw DataError(noBackup(QStringLiteral("the folder %1 could not be made.").arg(folder())));
    const QString name = QStringLiteral("%1-%2.mdb")
                             .arg(QFileInfo(databasePath_).completeBaseName(),
                                  when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString target = QDir(folder()).filePath(name);
    // The copy is made under a name that no restore would pick, and only takes its real
    // name once it is whole and checked.
    const QString partial = target + QStringLiteral(".part");
    removeWithSideFiles(partial);
    if (QString why; !privatefiles::createFile(partial, &why)) // a backup is as private as the shop
        throw DataError(noBackup(QStringLiteral("%1 could not be made: %2").arg(partial, why)));
    {
        RawFile source(databasePath_, SQLITE_OPEN_READWRITE);
        if (!source.opened())
            throw DataError(noBackup(source.failure(source.openCode())));
        RawFile copy(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!copy.opened())
            throw DataError(noBackup(copy.failure(copy.openCode())));
        sqlite3_backup *backup =
            sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
        if (backup == nullptr)
            throw DataError(noBackup(copy.failure(sqlite3_extended_errcode(copy.handle()))));
        int rc = SQLITE_OK;
        for (int tries = 0; tries < 50; ++tries) {
            rc = sqlite3_backup_step(backup, -1);
            if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
                break;
            sqlite3_sleep(100);
        }
        sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE) {
            const QString why = copy.failure(rc);
            removeWithSideFiles(partial);
            throw DataError(noBackup(why));
        }
    }
    QString problem;
    if (!passesQuickCheck(partial, &problem)) {
        removeWithSideFiles(partial);
        throw DataError(noBackup(QStringLiteral("the copy of %1 did not pass its check (%2); "
                                                "the earlier backups are kept.")
                                     .arg(databasePath_, problem)));
    }
    QFile::remove(target); // a second exit within the same second: the newer copy wins
    if (!QFile::rename(partial, target)) {
        removeWithSideFiles(partial);
        throw DataError(noBackup(QStringLiteral("%1 could not be written.").arg(target)));
    }
    rotate();
    return target;
}

void ShopBackups::rotate() const {
    const QStringList backups = list();
    for (int i = keep_; i < backups.size(); ++i)
        removeWithSideFiles(backups[i]);
}

QString ShopBackups::newestGood() const {
    for (const QString &backup : list())
        if (passesQuickCheck(backup))
            return backup;
    return QString();
}

ShopBackups::Health ShopBackups::checkHealth(const QString &path, QString *problem) {
    // Read-write (it falls back to read-only for a write-protected file) so that closing
    // folds a WAL file back in; query_only keeps the check from ever writing.
    RawFile file(path, SQLITE_OPEN_READWRITE);
    if (!file.opened()) {
        if (problem != nullptr)
            *problem = file.failure(file.openCode());
        return isDamageCode(file.openCode()) ? Health::Damaged : Health::Unknown;
    }
    sqlite3_exec(file.handle(), "PRAGMA query_only=1", nullptr, nullptr, nullptr);
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(file.handle(), "PRAGMA quick_check(1)", -1, &stmt, nullptr);
    QString answer;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            answer =
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    if (rc == SQLITE_ROW) {
        if (answer == QLatin1String("ok"))
            return Health::Sound;
        if (problem != nullptr) // "*** in database main ***\nPage 2: ..." -> "page 2: ..."
            *problem = answer.remove(QStringLiteral("*** in database main ***"))
                           .simplified()
                           .replace(QStringLiteral("Page "), QStringLiteral("page "));
        return Health::Damaged;
    }
    if (problem != nullptr)
        *problem = QString::fromUtf8(sqlite3_errmsg(file.handle()));
    return isDamageCode(rc) ? Health::Damaged : Health::Unknown;
}

bool ShopBackups::passesQuickCheck(const QString &path, QString *problem) {
    if (!QFileInfo::exists(path)) {
        if (problem != nullptr)
            *problem = dberror::missingFile(path);
        return false;
    }
    return checkHealth(path, problem) == Health::Sound;
}

QString ShopBackups::startWarning() const {
    if (!QFileInfo::exists(databasePath_))
        return QString();
    QString problem;
    if (checkHealth(databasePath_, &problem) != Health::Damaged)
        return QString();
    const QString damaged =
        QStringLiteral("The shop database %1 is damaged (%2).\n\n").arg(databasePath_, problem);
    const QString backup = newestGood();
    if (backup.isEmpty())
        return damaged + QStringLiteral("No good backup was found in %1. Do not enter anything "
                                        "until the file has been repaired or replaced.")
                             .arg(folder());
    return damaged + QStringLiteral("The newest good backup is %1.\n\nTo restore it: close "
                                    "Quillmart, copy the backup over %2, and delete %2-wal and "
                                    "%2-shm if they are there.")
                         .arg(backup, databasePath_);
}
