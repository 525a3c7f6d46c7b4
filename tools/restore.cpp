// quillmart-restore: lists the backups of the shop database, or puts one of them in place of
// the file (checked first; the current file is kept aside under a dated name, never deleted).
#include "dataerror.h"
#include "shopbackups.h"
#include "shoppaths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLockFile>
#include <cstdio>

namespace {

int usage() {
    std::fputs(
        "usage: quillmart-restore [--shop PATH]            list the backups, newest first\n"
        "       quillmart-restore [--shop PATH] N|BACKUP   put backup N of the list (or the\n"
        "                                                  file BACKUP) in place\n"
        "PATH defaults to the shop database of Quillmart; close Quillmart first.\n",
        stderr);
    return 2;
}

QString number(qint64 n) {
    return n < 0 ? QStringLiteral("?") : QString::number(n);
}

void printList(const ShopBackups &backups) {
    const std::vector<BackupEntry> entries = backups.entries();
    if (entries.empty()) {
        std::printf("No backups in %s\n", qPrintable(backups.folder()));
        return;
    }
    std::printf("Backups of %s, newest first:\n", qPrintable(backups.databasePath()));
    std::printf("%4s  %-19s  %10s  %8s  %10s  %s\n", "N", "taken", "sales", "titles", "bytes",
                "file");
    int n = 0;
    for (const BackupEntry &entry : entries)
        std::printf("%4d  %-19s  %10s  %8s  %10lld  %s\n", ++n,
                    qPrintable(entry.facts.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                    qPrintable(number(entry.facts.sales)), qPrintable(number(entry.facts.titles)),
                    static_cast<long long>(entry.fileBytes),
                    qPrintable(QFileInfo(entry.path).fileName()));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString shop = defaultDatabasePath();
    if (args.size() >= 2 && args[0] == QLatin1String("--shop")) {
        shop = args[1];
        args = args.mid(2);
    }
    if (args.size() > 1 || (!args.isEmpty() && args[0].startsWith(QLatin1Char('-'))))
        return usage();
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
            std::fprintf(stderr, "quillmart-restore: there is no backup %d; the list has %lld.\n",
                         n, static_cast<long long>(all.size()));
            return 2;
        }
        backup = all[n - 1];
    }
    if (!QFileInfo::exists(backup)) {
        std::fprintf(stderr, "quillmart-restore: %s does not exist.\n", qPrintable(backup));
        return 2;
    }
    QLockFile running(shop + QStringLiteral(".lock"));
    running.setStaleLockTime(0); // Quillmart holds it for hours; stale only when it is gone
    if (!running.tryLock(0)) {
        std::fprintf(stderr, "quillmart-restore: Quillmart is running on %s; close it first.\n",
                     qPrintable(shop));
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
    } catch (const DataError &error) {
        std::fprintf(stderr, "quillmart-restore: %s\n", qPrintable(error.description()));
        return 1;
    }
    return 0;
}
