// Backups of the shop database: online copy in steps, check, compression, keeping by age,
// the check at start and the restore.
#include "shopbackups.h"

#include "backupretention.h"
#include "cancelled.h"
#include "databaseerrors.h"
#include "dataerror.h"
#include "rawfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {

// Pages copied between two looks at the progress (1 MB of a file of 4 KB pages): short
// enough that a stop or a sale never waits long for the copy.
constexpr int kPagesPerStep = 256;
const QString kPacked = QStringLiteral(".mdb.zst");
const QString kPart = QStringLiteral(".part");

bool isDamageCode(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

void removeWithSideFiles(const QString &path) {
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

QString noBackup(const QString &why) {
    return QStringLiteral("No backup of the shop database was made: %1").arg(why);
}

// Removes the named files when the scope is left, unless released.
class Leftovers {
public:
    explicit Leftovers(QStringList paths) : paths_(std::move(paths)) {}
    ~Leftovers() {
        for (const QString &path : paths_)
            removeWithSideFiles(path);
    }
    Leftovers(const Leftovers &) = delete;
    Leftovers &operator=(const Leftovers &) = delete;

private:
    QStringList paths_;
};

QDateTime stampOf(const QString &fileName) {
    static const QRegularExpression stamp(QStringLiteral("-(\\d{8}-\\d{6})\\.mdb"));
    const auto match = stamp.match(fileName);
    return match.hasMatch()
               ? QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"))
               : QDateTime();
}

struct Counts {
    qint64 sales = -1, titles = -1;
};

Counts countRows(const QString &database) {
    RawFile file(database, SQLITE_OPEN_READONLY);
    if (!file.opened())
        return {};
    return {file.integer("SELECT count(*) FROM soldbook"),
            file.integer("SELECT count(*) FROM Titles")};
}

bool renameFile(const QString &from, const QString &to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

ShopBackups::ShopBackups(const QString &databasePath) : databasePath_(databasePath) {}

QString ShopBackups::folder() const {
    return QFileInfo(databasePath_).absoluteDir().filePath(QStringLiteral("backups"));
}

QStringList ShopBackups::list() const {
    // Only names of the form <name>-yyyyMMdd-HHmmss.mdb[.zst]: the stamp sorts them by time.
    const QString base = QFileInfo(databasePath_).completeBaseName();
    const QRegularExpression pattern(
        QStringLiteral("^%1-\\d{8}-\\d{6}\\.mdb(\\.zst)?$").arg(QRegularExpression::escape(base)));
    QStringList result;
    const QDir dir(folder());
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name | QDir::Reversed))
        if (pattern.match(name).hasMatch())
            result << dir.filePath(name);
    return result;
}

std::vector<BackupEntry> ShopBackups::entries() const {
    std::vector<BackupEntry> result;
    for (const QString &path : list()) {
        BackupEntry entry;
        entry.path = path;
        entry.packed = path.endsWith(kPacked);
        entry.fileBytes = QFileInfo(path).size();
        if (!entry.packed || !backupfile::readFacts(path, &entry.facts)) {
            entry.facts = {};
            entry.facts.bytes = entry.packed ? 0 : entry.fileBytes;
        }
        entry.facts.taken = stampOf(QFileInfo(path).fileName()); // the name rules the order
        result.push_back(entry);
    }
    return result;
}

bool ShopBackups::hasBackupOf(const QDate &day) const {
    for (const QString &path : list())
        if (stampOf(QFileInfo(path).fileName()).date() == day)
            return true;
    return false;
}

bool ShopBackups::unchangedSinceNewest() const {
    const QStringList backups = list();
    if (backups.isEmpty())
        return false;
    const QDateTime made = QFileInfo(backups.front()).lastModified();
    const QFileInfo shop(databasePath_), wal(databasePath_ + QStringLiteral("-wal"));
    // An empty -wal is made by merely opening the file; one with frames holds writes.
    return shop.lastModified() <= made &&
           (!wal.exists() || wal.size() == 0 || wal.lastModified() <= made);
}

void ShopBackups::removeLeftovers() const {
    // What a stopped or killed backup, check or restore left: never counted, never kept.
    const QDir dir(folder());
    for (const QString &name : dir.entryList({QStringLiteral("*.part*")}, QDir::Files))
        QFile::remove(dir.filePath(name));
}

void ShopBackups::copyOnline(const QString &copy, const backupfile::Progress &progress) const {
    RawFile source(databasePath_, SQLITE_OPEN_READWRITE);
    if (!source.opened())
        throw DataError(noBackup(source.failure(source.openCode())));
    sqlite3_exec(source.handle(), "PRAGMA query_only=1", nullptr, nullptr, nullptr);
    // One read transaction for the whole copy: every step reads the same moment of the
    // file, whatever the screens commit meanwhile (they are not held up: the file is in WAL).
    if (sqlite3_exec(source.handle(), "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                     nullptr) != SQLITE_OK)
        throw DataError(noBackup(source.failure(sqlite3_extended_errcode(source.handle()))));
    RawFile target(copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!target.opened())
        throw DataError(noBackup(target.failure(target.openCode())));
    backupfile::makePrivateFile(copy);
    sqlite3_backup *backup = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
    if (backup == nullptr)
        throw DataError(noBackup(target.failure(sqlite3_extended_errcode(target.handle()))));
    int rc = SQLITE_OK;
    for (int busy = 0; busy < 100;) {
        rc = sqlite3_backup_step(backup, kPagesPerStep);
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            ++busy;
            sqlite3_sleep(50);
        } else if (rc != SQLITE_OK) {
            break;
        }
        const int total = sqlite3_backup_pagecount(backup);
        const double done =
            total > 0 ? 1.0 - double(sqlite3_backup_remaining(backup)) / double(total) : 0;
        if (progress && !progress(0.4 * done)) {
            sqlite3_backup_finish(backup);
            throw Cancelled(QStringLiteral("The backup was stopped."));
        }
    }
    sqlite3_backup_finish(backup);
    sqlite3_exec(source.handle(), "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_DONE)
        throw DataError(noBackup(target.failure(rc)));
}

QString ShopBackups::take(const QDateTime &when, const backupfile::Progress &progress) const {
    if (!QFileInfo::exists(databasePath_))
        throw DataError(noBackup(dberror::missingFile(databasePath_)));
    if (!backupfile::makePrivateFolder(folder()))
        throw DataError(noBackup(QStringLiteral("the folder %1 could not be made.").arg(folder())));
    removeLeftovers();
    const QString stem =
        QStringLiteral("%1-%2").arg(QFileInfo(databasePath_).completeBaseName(),
                                    when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString target = QDir(folder()).filePath(stem + kPacked);
    // Copy and packed file are made under names that no list or restore would pick, and the
    // backup takes its real name only once it is whole, checked and on disk.
    const QString copy = QDir(folder()).filePath(stem + QStringLiteral(".mdb") + kPart);
    const QString packed = target + kPart;
    Leftovers cleanup({copy, packed});
    copyOnline(copy, progress);

    QString problem;
    if (!passesQuickCheck(copy, &problem, progress))
        throw DataError(noBackup(QStringLiteral("the copy of %1 did not pass its check (%2); "
                                                "the earlier backups are kept.")
                                     .arg(databasePath_, problem)));
    const Counts counts = countRows(copy);
    backupfile::Facts facts{when, counts.sales, counts.titles, QFileInfo(copy).size()};
    backupfile::pack(copy, facts, packed,
                     [&progress](double done) { return !progress || progress(0.5 + 0.5 * done); });
    if (!renameFile(packed, target))
        throw DataError(noBackup(QStringLiteral("%1 could not be written.").arg(target)));
    backupfile::syncToDisk(folder());
    rotate(when.date());
    return target;
}

void ShopBackups::rotate(const QDate &today) const {
    const QStringList backups = list();
    std::vector<QDateTime> taken;
    for (const QString &path : backups)
        taken.push_back(stampOf(QFileInfo(path).fileName()));
    std::vector<bool> wanted(backups.size(), false);
    for (const std::size_t index : backupretention::keep(taken, today))
        wanted[index] = true;
    for (qsizetype i = 0; i < backups.size(); ++i)
        if (!wanted[static_cast<std::size_t>(i)])
            removeWithSideFiles(backups[i]);
}

bool ShopBackups::passesCheck(const QString &backup, QString *problem) {
    if (!backup.endsWith(kPacked))
        return passesQuickCheck(backup, problem);
    const QString unpacked = backup + QStringLiteral(".check") + kPart;
    Leftovers cleanup({unpacked});
    return unpackChecked(backup, unpacked, {}, problem);
}

bool ShopBackups::unpackChecked(const QString &backup, const QString &target,
                                const backupfile::Progress &progress, QString *problem) {
    backupfile::Facts facts;
    try {
        if (!backupfile::readFacts(backup, &facts))
            throw DataError(QStringLiteral("%1 is not a backup of a shop database.").arg(backup));
        backupfile::unpack(backup, target, progress);
    } catch (const Cancelled &) {
        throw;
    } catch (const DataError &error) {
        if (problem != nullptr)
            *problem = error.description();
        return false;
    }
    if (!passesQuickCheck(target, problem))
        return false;
    const Counts counts = countRows(target);
    if (counts.sales == facts.sales && counts.titles == facts.titles)
        return true;
    if (problem != nullptr)
        *problem = QStringLiteral("it holds %1 sales and %2 titles, not the %3 and %4 it says")
                       .arg(counts.sales)
                       .arg(counts.titles)
                       .arg(facts.sales)
                       .arg(facts.titles);
    return false;
}

QString ShopBackups::newestGood() const {
    for (const QString &backup : list())
        if (passesCheck(backup))
            return backup;
    return QString();
}

ShopBackups::Health ShopBackups::checkHealth(const QString &path, QString *problem,
                                             const backupfile::Progress &progress) {
    // Read-write (it falls back to read-only for a write-protected file) so that closing
    // folds a WAL file back in; query_only keeps the check from ever writing.
    RawFile file(path, SQLITE_OPEN_READWRITE);
    if (!file.opened()) {
        if (problem != nullptr)
            *problem = file.failure(file.openCode());
        return isDamageCode(file.openCode()) ? Health::Damaged : Health::Unknown;
    }
    sqlite3_exec(file.handle(), "PRAGMA query_only=1", nullptr, nullptr, nullptr);
    // A check of a large file takes seconds: whoever waits for it may stop it.
    bool stopped = false;
    struct Asker {
        const backupfile::Progress &progress;
        bool &stopped;
    } asker{progress, stopped};
    if (progress)
        sqlite3_progress_handler(
            file.handle(), 100000,
            [](void *context) {
                auto *a = static_cast<Asker *>(context);
                a->stopped = !a->progress(0.45);
                return a->stopped ? 1 : 0;
            },
            &asker);
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
    if (stopped)
        throw Cancelled(QStringLiteral("The check was stopped."));
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

bool ShopBackups::passesQuickCheck(const QString &path, QString *problem,
                                   const backupfile::Progress &progress) {
    if (!QFileInfo::exists(path)) {
        if (problem != nullptr)
            *problem = dberror::missingFile(path);
        return false;
    }
    return checkHealth(path, problem, progress) == Health::Sound;
}

QString ShopBackups::startWarning() const {
    if (!QFileInfo::exists(databasePath_))
        return QString();
    QString problem;
    if (checkHealth(databasePath_, &problem) != Health::Damaged)
        return QString();
    const QString damaged = QStringLiteral("The shop database %1 is damaged (%2). Nothing "
                                           "more will be stored in it.\n\n")
                                .arg(databasePath_, problem);
    const QString backup = newestGood();
    if (backup.isEmpty())
        return damaged + QStringLiteral("No good backup was found in %1. Do not enter anything "
                                        "until the file has been repaired or replaced.")
                             .arg(folder());
    return damaged + QStringLiteral("The newest good backup is %1.\n\nTo restore it, choose "
                                    "File > Restore a Backup, or close Quillmart and run "
                                    "quillmart-restore.")
                         .arg(backup);
}

QString ShopBackups::restore(const QString &backup, const QDateTime &now,
                             const backupfile::Progress &progress) const {
    const QFileInfo shop(databasePath_);
    const QString incoming = databasePath_ + QStringLiteral(".restoring") + kPart;
    Leftovers cleanup({incoming});
    removeWithSideFiles(incoming);
    QString problem;
    const bool sound = backup.endsWith(kPacked)
                           ? unpackChecked(backup, incoming, progress, &problem)
                           : QFile::copy(backup, incoming) && passesQuickCheck(incoming, &problem);
    if (!sound)
        throw DataError(QStringLiteral("The backup %1 did not pass its check (%2); nothing was "
                                       "changed.")
                            .arg(backup, problem));
    backupfile::syncToDisk(incoming);

    QString aside;
    if (shop.exists()) {
        // Never over a file kept aside by an earlier restore of the same second.
        const QString stem = shop.absoluteDir().filePath(
            QStringLiteral("%1-before-restore-%2")
                .arg(shop.completeBaseName(), now.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
        aside = stem + QStringLiteral(".mdb");
        for (int n = 2; QFileInfo::exists(aside) || QFileInfo::exists(aside + "-wal"); ++n)
            aside = stem + QStringLiteral("-%1.mdb").arg(n);
        {
            // Fold the -wal into the file first, so that what is kept aside is one file; if
            // it cannot be folded, the -wal goes along under the matching name.
            RawFile current(databasePath_, SQLITE_OPEN_READWRITE);
            if (current.opened())
                sqlite3_exec(current.handle(), "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr,
                             nullptr);
        }
        for (const char *suffix : {"-wal", "-shm", "-journal"}) {
            const QString side = databasePath_ + QLatin1String(suffix);
            if (QFileInfo::exists(side) && !renameFile(side, aside + QLatin1String(suffix)))
                throw DataError(QStringLiteral("%1 could not be moved aside; nothing was "
                                               "restored.")
                                    .arg(side));
        }
        if (!renameFile(databasePath_, aside))
            throw DataError(QStringLiteral("%1 could not be moved aside to %2; nothing was "
                                           "restored.")
                                .arg(databasePath_, aside));
    }
    if (!renameFile(incoming, databasePath_))
        throw DataError(QStringLiteral("The backup could not be put in place as %1; the earlier "
                                       "file is kept as %2.")
                            .arg(databasePath_, aside));
    backupfile::syncToDisk(shop.absolutePath());
    return aside;
}
