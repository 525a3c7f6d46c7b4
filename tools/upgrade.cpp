// quillmart-upgrade: brings a shop, a file or a shop on a PostgreSQL server, to the newest
// version this Quillmart knows, step by step; a file's own backup is taken first.
#include "dataerror.h"
#include "pgupgrade.h"
#include "shopfileupgrade.h"
#include "shoplocation.h"
#include "shopserver.h"
#include "toolargs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLockFile>
#include <cstdio>

namespace {

using namespace toolargs;

// Says each step as it is made.
shopupgrade::Watch sayingSteps() {
    return [](shopupgrade::Stage stage, const StepDescription &step) {
        if (stage == shopupgrade::Stage::Begun) {
            std::printf("Version %d:", step.version);
            for (const char *change : step.changes)
                std::printf(" %s", change);
            std::printf("\n");
        } else if (stage == shopupgrade::Stage::Done) {
            std::printf("Version %d made.\n", step.version);
        }
        std::fflush(stdout);
    };
}

void sayOutcome(const QString &shop, const shopupgrade::Outcome &outcome) {
    if (outcome.from == outcome.to)
        say(stdout,
            QString("%1 is of version %2 already; nothing was to do.").arg(shop).arg(outcome.to));
    else
        say(stdout, QString("%1 went from version %2 to version %3.")
                        .arg(shop)
                        .arg(outcome.from)
                        .arg(outcome.to));
}

int upgradeFile(const QString &path) {
    QLockFile running(path + QStringLiteral(".lock"));
    running.setStaleLockTime(0); // Quillmart holds it for hours; stale only when it is gone
    if (!running.tryLock(0)) {
        say(stderr, QString("Quillmart is running on %1; close it first.").arg(path));
        return kInUse;
    }
    std::printf("Upgrading the shop file %s.\n", qPrintable(path));
    std::fflush(stdout);
    const shopfileupgrade::Result result =
        shopfileupgrade::upgrade(path, QDateTime::currentDateTime(), steps::all, {}, sayingSteps());
    if (!result.backup.isEmpty())
        say(stdout, QString("the backup taken first is %1 (quillmart-restore lists it).")
                        .arg(result.backup));
    sayOutcome("the shop file " + path, result.outcome);
    return 0;
}

int upgradeServer(const QString &conninfo) {
    auto session = std::make_unique<pgtool::Session>(conninfo);
    const QString shop = "the shop in the " + session->describe();
    if (shopserver::existingTables(*session).isEmpty())
        throw DataError(QString("The %1 holds no shop; quillmart-createdb --server makes one.")
                            .arg(session->describe()));
    shopserver::checkSchema(*session);
    ServerUpgrade engine(std::move(session));
    sayOutcome(shop, shopupgrade::upgrade(engine, steps::all, QDateTime::currentDateTime(),
                                          sayingSteps()));
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QString shop =
        toolargs::parse(
            parser,
            QString("Brings the shop in FILE, or on the PostgreSQL server that CONNINFO names (a\n"
                    "libpq connection string or service name, e.g. \"service=shop\"), to version\n"
                    "%1, the newest this Quillmart knows. Each step is made whole or not at all:\n"
                    "an upgrade that is stopped leaves the shop at the version it had reached,\n"
                    "and is simply run again. Nothing of the shop's rows changes.\n"
                    "A file: close Quillmart on it first; its own backup is taken before any\n"
                    "step (quillmart-restore lists it).\n"
                    "A server: run it as the shop's owner, after a pg_dump of the database. Two\n"
                    "at once make each step once: the second waits, then finds it made.\n"
                    "Exit codes: 0 upgraded or nothing to do, 1 failed, 2 a wrong argument,\n"
                    "3 Quillmart is running on FILE.")
                .arg(shopversion::newest(steps::all)),
            {}, {"FILE|CONNINFO", "The shop to upgrade.", 1, 1})
            .first();
    try {
        if (!QFileInfo::exists(shop) && shoplocation::isConnectionString(shop))
            return upgradeServer(shop);
        if (!QFileInfo(shop).isFile())
            throw DataError(QString("The shop file %1 does not exist.").arg(shop));
        return upgradeFile(shop);
    } catch (const DataError &e) {
        say(stderr, e.description());
        return kFailed;
    }
}
