// Backups of the shop database: online copy in steps, check, compression, keeping by age,
// the check at start and the restore.
#include "shopbackups.h"

#include "backupretention.h"
#include "cancelled.h"
#include "databaseerrors.h"
#include "dataerror.h"
#include "fileupgrade.h"
#include "shopsteps.h"
#include "sqlitefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <algorithm>
#include <memory>

namespace {

// Pages copied between two looks at the progress (1 MB of a file of 4 KB pages): short
// enough that a stop or a sale never waits long for the copy.
constexpr int kPagesPerStep = 256;
const QString kPacked = QStringLiteral(".mdb.zst");
const QString kPart = QStringLiteral(".part");
const QString kBeforeUpgrade = QStringLiteral("-before-upgrade");

QString noBackup(const QString &why) {
    return QStringLiteral("No backup of the shop database was made: %1").arg(why);
}

// Removes the named files when the scope is left.
auto removedOnExit(QStringList paths) {
    return qScopeGuard([paths = std::move(paths)] {
        for (const QString &path : paths)
            SqliteFile::remove(path);
    });
}

QDateTime stampOf(const QString &path) {
    static const QRegularExpression stamp(QStringLiteral("-(\\d{8}-\\d{6})\\.mdb"));
    const auto match = stamp.match(QFileInfo(path).fileName());
    return match.hasMatch()
               ? QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"))
               : QDateTime();
}

struct Counts {
    qint64 sales = -1, titles = -1;
    int version = -1;
};

Counts countRows(const QString &database) {
    try {
        SqliteFile file(database, SqliteFile::Mode::ReadOnly, kBackupBusyTimeoutMs);
        return {file.integer(QStringLiteral("SELECT count(*) FROM soldbook")),
                file.integer(QStringLiteral("SELECT count(*) FROM Titles")),
                filesteps::version(file, steps::all).number};
    } catch (const DataError &) {
        return {};
    }
}

bool isBeforeUpgrade(const QString &path) {
    static const QRegularExpression named(kBeforeUpgrade + QStringLiteral("-\\d{8}-\\d{6}\\.mdb"));
    return named.match(QFileInfo(path).fileName()).hasMatch();
}

// Read-write (SQLite falls back to read-only for a write-protected file) so that closing
// folds a WAL file back in; query_only keeps the backups' reading from ever writing.
std::unique_ptr<SqliteFile> openForReading(const QString &path) {
    auto file =
        std::make_unique<SqliteFile>(path, SqliteFile::Mode::ReadWrite, kBackupBusyTimeoutMs);
    file->exec(QStringLiteral("PRAGMA query_only=1"));
    return file;
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
    // Only names of the form <name>[-before-upgrade]-yyyyMMdd-HHmmss.mdb[.zst], newest first.
    const QString base = QFileInfo(databasePath_).completeBaseName();
    const QRegularExpression pattern(QStringLiteral("^%1(%2)?-\\d{8}-\\d{6}\\.mdb(\\.zst)?$")
                                         .arg(QRegularExpression::escape(base), kBeforeUpgrade));
    QStringList result;
    const QDir dir(folder());
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name | QDir::Reversed))
        if (pattern.match(name).hasMatch())
            result << dir.filePath(name);
    // The upgrade's backup among the others by when it was taken.
    std::stable_sort(result.begin(), result.end(),
                     [](const QString &a, const QString &b) { return stampOf(a) > stampOf(b); });
    return result;
}

std::vector<BackupEntry> ShopBackups::entries() const {
    std::vector<BackupEntry> result;
    for (const QString &path : list()) {
        BackupEntry entry;
        entry.path = path;
        entry.packed = path.endsWith(kPacked);
        entry.fileBytes = QFileInfo(path).size();
        entry.beforeUpgrade = isBeforeUpgrade(path);
        if (!entry.packed || !backupfile::readFacts(path, &entry.facts)) {
            entry.facts = {};
            entry.facts.bytes = entry.packed ? 0 : entry.fileBytes;
        }
        entry.facts.taken = stampOf(path); // the name rules the order
        result.push_back(entry);
    }
    return result;
}

bool ShopBackups::hasBackupOf(const QDate &day) const {
    for (const QString &path : list())
        if (stampOf(path).date() == day)
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
    bool copied = false;
    try {
        const std::unique_ptr<SqliteFile> source = openForReading(databasePath_);
        SqliteFile target(copy, SqliteFile::Mode::Create, kBackupBusyTimeoutMs);
        backupfile::makePrivateFile(copy);
        copied = source->backupTo(target, kPagesPerStep, [&progress](double done) {
            return !progress || progress(0.4 * done);
        });
    } catch (const DataError &error) {
        throw DataError(error.kind(), noBackup(error.sentence()));
    }
    if (!copied)
        throw Cancelled(QStringLiteral("The backup was stopped."));
}

QString ShopBackups::take(const QDateTime &when, const backupfile::Progress &progress,
                          BackupKind kind) const {
    if (!QFileInfo::exists(databasePath_))
        throw DataError(noBackup(dberror::missingFile(databasePath_)));
    if (!backupfile::makePrivateFolder(folder()))
        throw DataError(noBackup(QStringLiteral("the folder %1 could not be made.").arg(folder())));
    removeLeftovers();
    const QString stem = QStringLiteral("%1%2-%3").arg(
        QFileInfo(databasePath_).completeBaseName(),
        kind == BackupKind::BeforeUpgrade ? kBeforeUpgrade : QString(),
        when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString target = QDir(folder()).filePath(stem + kPacked);
    // Copy and packed file are made under names that no list or restore would pick, and the
    // backup takes its real name only once it is whole, checked and on disk.
    const QString copy = QDir(folder()).filePath(stem + QStringLiteral(".mdb") + kPart);
    const QString packed = target + kPart;
    const auto cleanup = removedOnExit({copy, packed});
    copyOnline(copy, progress);

    QString problem;
    if (!passesQuickCheck(copy, &problem, progress))
        throw DataError(noBackup(QStringLiteral("the copy of %1 did not pass its check (%2); "
                                                "the earlier backups are kept.")
                                     .arg(databasePath_, problem)));
    const Counts counts = countRows(copy);
    backupfile::Facts facts{when, counts.sales, counts.titles, QFileInfo(copy).size(),
                            counts.version};
    backupfile::pack(copy, facts, packed,
                     [&progress](double done) { return !progress || progress(0.5 + 0.5 * done); });
    if (!renameFile(packed, target))
        throw DataError(noBackup(QStringLiteral("%1 could not be written.").arg(target)));
    backupfile::syncToDisk(folder());
    // The new upgrade's backup takes the place of the last one's.
    if (kind == BackupKind::BeforeUpgrade)
        for (const QString &older : list())
            if (older != target && isBeforeUpgrade(older))
                SqliteFile::remove(older);
    rotate(when.date());
    return target;
}

void ShopBackups::rotate(const QDate &today) const {
    QStringList backups = list();
    backups.removeIf(isBeforeUpgrade);
    std::vector<QDateTime> taken;
    for (const QString &path : backups)
        taken.push_back(stampOf(path));
    const std::set<std::size_t> kept = backupretention::keep(taken, today);
    for (qsizetype i = 0; i < backups.size(); ++i)
        if (!kept.contains(static_cast<std::size_t>(i)))
            SqliteFile::remove(backups[i]);
}

bool ShopBackups::passesCheck(const QString &backup, QString *problem) {
    if (!backup.endsWith(kPacked))
        return passesQuickCheck(backup, problem);
    const QString unpacked = backup + QStringLiteral(".check") + kPart;
    const auto cleanup = removedOnExit({unpacked});
    return unpackChecked(backup, unpacked, {}, problem);
}

bool ShopBackups::unpackChecked(const QString &backup, const QString &target,
                                const backupfile::Progress &progress, QString *problem) {
    backupfile::Facts facts;
    try {
        facts = backupfile::unpack(backup, target, progress);
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
    if (counts.sales == facts.sales && counts.titles == facts.titles &&
        counts.version == facts.version)
        return true;
    if (problem != nullptr)
        *problem = QStringLiteral("it holds %1 sales and %2 titles of a shop of version %3, "
                                  "not the %4 and %5 of version %6 it says")
                       .arg(counts.sales)
                       .arg(counts.titles)
                       .arg(counts.version)
                       .arg(facts.sales)
                       .arg(facts.titles)
                       .arg(facts.version);
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
    std::unique_ptr<SqliteFile> file;
    QString answer;
    try {
        file = openForReading(path);
        answer = file->quickCheck([&progress] { return !progress || progress(0.45); });
        // A version table that does not say one version is damage too.
        if (answer == QLatin1String("ok"))
            filesteps::version(*file, steps::all);
    } catch (const DataError &error) {
        // SQLite's own words when the check itself failed; else the file's text when it did not
        // open, or what is wrong with its version table.
        if (problem != nullptr)
            *problem = file && answer.isEmpty() ? file->lastError() : error.sentence();
        return error.kind() == DataError::Kind::Damaged ? Health::Damaged : Health::Unknown;
    }
    if (answer.isEmpty())
        throw Cancelled(QStringLiteral("The check was stopped."));
    if (answer == QLatin1String("ok"))
        return Health::Sound;
    if (problem != nullptr) // "*** in database main ***\nPage 2: ..." -> "page 2: ..."
        *problem = answer.remove(QStringLiteral("*** in database main ***"))
                       .simplified()
                       .replace(QStringLiteral("Page "), QStringLiteral("page "));
    return Health::Damaged;
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
    const auto cleanup = removedOnExit({incoming});
    SqliteFile::remove(incoming);
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
        try {
            // Fold the -wal into the file first, so that what is kept aside is one file; if
            // it cannot be folded, the -wal goes along under the matching name.
            SqliteFile(databasePath_, SqliteFile::Mode::ReadWrite, kBackupBusyTimeoutMs)
                .exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        } catch (const DataError &) {
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
