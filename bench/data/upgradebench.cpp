// Upgrading the large shop from version 1 to the newest, its backup apart: each step in its
// transaction with the version's change, as quillmart-upgrade makes them after the backup.
// The steps only add tables and indexes beside the ten, so the shop's size should not matter.
#include "benchmain.h"
#include "fileupgrade.h"
#include "shopupgrade.h"
#include "sqlitefile.h"

namespace {

// Takes the large shop back to version 1: the steps' tables and indexes go, the ten stay as
// they are.
void backToVersionOne(const QString &path) {
    SqliteFile file(path, SqliteFile::Mode::ReadWrite);
    file.exec("BEGIN IMMEDIATE");
    for (auto step = steps::all.rbegin(); step != steps::all.rend(); ++step) {
        // A step's index may stand on one of the ten (the titles by supplier).
        for (const StepIndex &index : step->indexes)
            file.exec(QStringLiteral("DROP INDEX IF EXISTS [%1]").arg(index.name));
        for (const StepTable &table : step->tables)
            file.exec(QStringLiteral("DROP TABLE IF EXISTS [%1]").arg(table.table->name));
    }
    file.exec("COMMIT");
}

void upgradeShop(benchmark::State &state) {
    const QString path = bench::shop().path;
    bench::Measured measured(state);
    for (auto _ : state) {
        measured.pause();
        backToVersionOne(path);
        measured.resume();
        FileUpgrade file(path);
        const shopupgrade::Outcome outcome =
            shopupgrade::upgrade(file, steps::all, QDateTime(QDate(2030, 1, 1), QTime(12, 0)));
        if (outcome.from != 1 || outcome.to != shopversion::newest(steps::all))
            state.SkipWithError("the shop was not upgraded from version 1 to the newest");
    }
}

} // namespace

void registerUpgradeBenchmarks() {
    bench::quillmart("Upgrade: every step from version 1, backup apart", upgradeShop)
        ->Iterations(3);
}
