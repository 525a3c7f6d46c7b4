// quillmart-copyshop: copies a whole shop from a file to a PostgreSQL server (the day a shop
// opens a second till) or from a server to a new file (to take the shop home), all or nothing.
#include "dataerror.h"
#include "shopcopy.h"
#include "shopfile.h"
#include "shopserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLockFile>
#include <cstdio>

namespace {

constexpr int kFailed = 1;
constexpr int kAlreadyExists = 2;
constexpr int kInUse = 3;

void say(FILE *stream, const QString &text) {
    std::fputs(qPrintable("quillmart-copyshop: " + text + "\n"), stream);
}

void usage(FILE *stream) {
    const QString text =
        QString("Usage: quillmart-copyshop --to-server CONNINFO [--locale NAME] FILE\n"
                "       quillmart-copyshop --to-file CONNINFO FILE\n"
                "Copies the whole shop in the file FILE to the PostgreSQL database that CONNINFO\n"
                "names (a libpq connection string or service name, e.g. \"service=shop\"), or\n"
                "the server's shop to a new file FILE. All or nothing: the copy is checked by the\n"
                "rows and sums of every table on both sides, and kept only when they agree.\n"
                "  --to-server  the database must have none of the shop's tables (they are made,\n"
                "               as quillmart-createdb --server makes them, in the same step) or\n"
                "               have them empty; close Quillmart on FILE first\n"
                "  --to-file    FILE must not exist; the server's shop is copied as one moment\n"
                "               of it, while the tills go on working\n"
                "  --locale     for a shop made on the server: its texts sort as in this locale\n"
                "               (default: the system's, here %1)\n"
                "The scratch tables tmp and tempPay are not copied: they start empty.\n"
                "Exit codes: 0 copied, 1 failed (nothing changed), 2 FILE exists, 3 Quillmart\n"
                "is running on FILE.\n")
            .arg(shopserver::defaultLocale());
    std::fputs(qPrintable(text), stream);
}

QString summary(const shopcopy::Copied &copied) {
    QStringList parts;
    for (const auto &[table, rows] : copied)
        parts << QString("%1 %2").arg(table).arg(rows);
    return parts.join(", ");
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QString direction, conninfo, locale, file;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        const bool hasValue = i + 1 < args.size() && !args[i + 1].isEmpty();
        if ((arg == "--to-server" || arg == "--to-file") && direction.isEmpty() && hasValue) {
            direction = arg;
            conninfo = args[++i];
        } else if (arg == "--locale" && locale.isEmpty() && hasValue) {
            locale = args[++i];
        } else if (!arg.startsWith('-') && file.isEmpty() && !arg.isEmpty()) {
            file = arg;
        } else {
            say(stderr, QString("unexpected argument '%1'.").arg(arg));
            usage(stderr);
            return kFailed;
        }
    }
    if (direction.isEmpty() || file.isEmpty() || (!locale.isEmpty() && direction == "--to-file")) {
        usage(stderr);
        return kFailed;
    }
    QElapsedTimer clock;
    clock.start();
    try {
        if (direction == "--to-file") {
            if (shopfile::occupied(file)) {
                say(stderr, QString("%1 already exists; nothing was changed.").arg(file));
                return kAlreadyExists;
            }
            const shopcopy::Copied copied = shopcopy::serverToFile(conninfo, file);
            say(stdout, QString("copied the server's shop to %1 in %2 s (%3).")
                            .arg(file)
                            .arg(clock.elapsed() / 1000.0, 0, 'f', 1)
                            .arg(summary(copied)));
            return 0;
        }
        // The program holds this lock while it runs on the file: sales made after the copy
        // would be missing from the server.
        QLockFile running(file + ".lock");
        running.setStaleLockTime(0);
        if (!running.tryLock(0)) {
            say(stderr, QString("Quillmart is running on %1; close it first.").arg(file));
            return kInUse;
        }
        const shopcopy::Copied copied = shopcopy::fileToServer(
            file, conninfo, locale.isEmpty() ? shopserver::defaultLocale() : locale);
        say(stdout, QString("copied %1 to the server in %2 s (%3).")
                        .arg(file)
                        .arg(clock.elapsed() / 1000.0, 0, 'f', 1)
                        .arg(summary(copied)));
    } catch (const DataError &e) {
        say(stderr, e.description() + " Nothing was changed.");
        return kFailed;
    }
    return 0;
}
