// quillmart-copyshop: copies a whole shop from a file to a PostgreSQL server (the day a shop
// opens a second till) or from a server to a new file (to take the shop home), all or nothing.
#include "dataerror.h"
#include "shopcopy.h"
#include "shopfile.h"
#include "shopserver.h"
#include "toolargs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLockFile>
#include <cstdio>

namespace {

using namespace toolargs;

// " in 1.2 s (Titles 100, ...)": how long the copy took and the rows of each table.
QString summary(const shopcopy::Copied &copied, const QElapsedTimer &clock) {
    QStringList parts;
    for (const auto &[table, rows] : copied)
        parts << QString("%1 %2").arg(table).arg(rows);
    return QString(" in %1 s (%2)").arg(clock.elapsed() / 1000.0, 0, 'f', 1).arg(parts.join(", "));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QCommandLineOption toServer(
        "to-server",
        "The shop in FILE goes to this database, which must have none of the shop's tables "
        "(they are made, as quillmart-createdb --server makes them, in the same step) or have "
        "them empty; close Quillmart on FILE first.",
        "CONNINFO");
    const QCommandLineOption toFile("to-file",
                                    "The shop in this database goes to the new file FILE, which "
                                    "must not exist: copied as one moment of it, while the tills "
                                    "go on working.",
                                    "CONNINFO");
    const QCommandLineOption locale = shopserver::localeOption();
    QCommandLineParser parser;
    const QString file =
        toolargs::parse(
            parser,
            "  quillmart-copyshop --to-server CONNINFO [--locale NAME] FILE\n"
            "  quillmart-copyshop --to-file CONNINFO FILE\n"
            "Copies the whole shop in the file FILE to the PostgreSQL database that CONNINFO\n"
            "names (a libpq connection string or service name, e.g. \"service=shop\"), or\n"
            "the server's shop to a new file FILE. All or nothing: the copy is checked by the\n"
            "rows and sums of every table on both sides, and kept only when they agree.\n"
            "The scratch tables tmp and tempPay are not copied: they start empty.\n"
            "Exit codes: 0 copied, 1 failed (nothing changed), 2 FILE exists or a wrong\n"
            "argument, 3 Quillmart is running on FILE.",
            {toServer, toFile, locale}, {"FILE", "The shop file.", 1, 1})
            .first();
    if (parser.isSet(toServer) == parser.isSet(toFile))
        toolargs::refuse(parser, "give either --to-server or --to-file.");
    if (parser.isSet(locale) && parser.isSet(toFile))
        toolargs::refuse(parser, "--locale is for a shop copied to a server.");
    const QString conninfo = parser.value(parser.isSet(toFile) ? toFile : toServer);
    QElapsedTimer clock;
    clock.start();
    try {
        if (parser.isSet(toFile)) {
            if (shopfile::occupied(file)) {
                say(stderr, QString("%1 already exists; nothing was changed.").arg(file));
                return kAlreadyExists;
            }
            const shopcopy::Copied copied = shopcopy::serverToFile(conninfo, file);
            say(stdout,
                QString("copied the server's shop to %1%2.").arg(file, summary(copied, clock)));
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
        const shopcopy::Copied copied =
            shopcopy::fileToServer(file, conninfo, parser.value(locale));
        say(stdout, QString("copied %1 to the server%2.").arg(file, summary(copied, clock)));
    } catch (const DataError &e) {
        say(stderr, e.description() + " Nothing was changed.");
        return kFailed;
    }
    return 0;
}
