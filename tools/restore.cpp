// quillmart-restore: lists the backups of the shop database, or puts one of them in place of
// the file (checked first; the current file is kept aside under a dated name, never deleted).
#include "dataerror.h"
#include "shopbackups.h"
#include "shoppaths.h"
#include "shopsteps.h"
#include "shopversion.h"
#include "toolargs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLockFile>
#include <cstdio>

namespace {

void printList(const ShopBackups &backups) {
    const std::vector<BackupEntry> entries = backups.entries();
    if (entries.empty()) {
        std::printf("No backups in %s\n", qPrintable(backups.folder()));
        return;
    }
    std::printf("Backups of %s, newest first:\n", qPrintable(backups.databasePath()));
    std::printf("%4s  %-19s  %10s  %8s  %7s  %10s  %s\n", "N", "taken", "sales", "titles",
                "version", "bytes", "file");
    int n = 0;
    for (const BackupEntry &entry : entries)
        std::printf("%4d  %-19s  %10s  %8s  %7d  %10lld  %s\n", ++n,
                    qPrintable(entry.facts.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                    qPrintable(backupfile::countText(entry.facts.sales)),
                    qPrintable(backupfile::countText(entry.facts.titles)), entry.facts.version,
                    static_cast<long long>(entry.fileBytes),
                    qPrintable(QFileInfo(entry.path).fileName()));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QCommandLineOption shopOption(
        "shop", "The shop database (default: Quillmart's, here " + defaultDatabasePath() + ").",
        "PATH");
    QCommandLineParser parser;
    const QStringList args = toolargs::parse(
        parser,
        "Lists the backups of the shop database, newest first, or puts backup N of the list\n"
        "(or the file BACKUP) in place of the shop database; close Quillmart first.",
        {shopOption}, {"N|BACKUP", "The backup to put in place."});
    const QString shop =
        parser.isSet(shopOption) ? parser.value(shopOption) : defaultDatabasePath();
    const ShopBackups backups(shop);
    if (args.isEmpty()) {
        printList(backups);
        return 0;
    }
    QString backup = args[0];
    bool isNumber = false;
    const int n = backup.toInt(&isNumber);
    if (isNumber) {
        const QStringList all = backups.list();
        if (n < 1 || n > all.size()) {
            toolargs::say(
                stderr, QString("there is no backup %1; the list has %2.").arg(n).arg(all.size()));
            return 2;
        }
        backup = all[n - 1];
    }
    if (!QFileInfo::exists(backup)) {
        toolargs::say(stderr, backup + " does not exist.");
        return 2;
    }
    QLockFile running(shop + QStringLiteral(".lock"));
    running.setStaleLockTime(0); // Quillmart holds it for hours; stale only when it is gone
    if (!running.tryLock(0)) {
        toolargs::say(stderr, QString("Quillmart is running on %1; close it first.").arg(shop));
        return 3;
    }
    try {
        std::printf("Checking %s ...\n", qPrintable(backup));
        std::fflush(stdout);
        const QString aside = backups.restore(backup, QDateTime::currentDateTime());
        std::printf("Restored %s as %s.\n", qPrintable(QFileInfo(backup).fileName()),
                    qPrintable(shop));
        if (!aside.isEmpty())
            std::printf("The earlier shop file is kept as %s.\n", qPrintable(aside));
        backupfile::Facts facts;
        if (backupfile::readFacts(backup, &facts) &&
            facts.version < shopversion::newest(steps::all))
            std::printf("The restored shop is of version %d; Quillmart offers to upgrade it when "
                        "it opens it, or run: quillmart-upgrade %s\n",
                        facts.version, qPrintable(shop));
    } catch (const DataError &error) {
        toolargs::say(stderr, error.description());
        return 1;
    }
    return 0;
}
