// Backups of the large shop: one taken as the program takes it while idle (online copy in
// steps, check, count, compress), and putting it back (unpack, check, replace); against a raw
// online copy of the file in one step, without check or compression.
#include "benchmain.h"
#include "shopbackups.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

// At most this many backups are kept: 7 days, 3 more weeks and 11 more months.
constexpr int kMostKept = 21;

QString latestBackup;

double megabytes(qint64 bytes) {
    return static_cast<double>(bytes) / (1 << 20);
}

void takeBackup(benchmark::State &state) {
    const ShopBackups backups(bench::shop().path);
    bench::Measured measured(state);
    int n = 0;
    for (auto _ : state)
        latestBackup = backups.take(QDateTime(QDate(2030, 1, 1), QTime(12, 0, ++n % 60)));
    const double shop = megabytes(QFileInfo(bench::shop().path).size());
    const double backup = megabytes(QFileInfo(latestBackup).size());
    measured.set("shop_MB", shop);
    measured.set("backup_MB", backup);
    measured.set("history_MB", backup * kMostKept);
}

void rawCopy(benchmark::State &state) {
    const QString copy = QFileInfo(bench::shop().path).absoluteDir().filePath("raw-copy.mdb");
    bench::Measured measured(state);
    for (auto _ : state) {
        QFile::remove(copy);
        sqlite3 *target = nullptr;
        sqlite3_open(QFile::encodeName(copy).constData(), &target);
        sqlite3_backup *backup = sqlite3_backup_init(target, "main", bench::raw().handle(), "main");
        sqlite3_backup_step(backup, -1);
        sqlite3_backup_finish(backup);
        sqlite3_close(target);
    }
    QFile::remove(copy);
}

void restoreBackup(benchmark::State &state) {
    const QString target = QFileInfo(bench::shop().path).absoluteDir().filePath("restored.mdb");
    bench::Measured measured(state);
    for (auto _ : state) {
        if (latestBackup.isEmpty()) {
            state.SkipWithError("no backup was taken");
            break;
        }
        ShopBackups(target).restore(latestBackup, QDateTime(QDate(2030, 1, 2), QTime(9, 0)));
        measured.pause();
        QFile::remove(target);
        measured.resume();
    }
}

} // namespace

void registerBackupBenchmarks() {
    bench::quillmart("Backup: online copy in steps, check, compress", takeBackup)->Iterations(1);
    bench::baseline("Backup: online copy in steps, check, compress", rawCopy)->Iterations(1);
    bench::quillmart("Restore: unpack, check, put in place", restoreBackup)->Iterations(1);
}
