// quillmart-createdb: makes a new shop database file, or a new shop on a PostgreSQL server,
// optionally with the demo catalogue.
#include "dataerror.h"
#include "serverrights.h"
#include "shopcopy.h"
#include "shopfile.h"
#include "shoppaths.h"
#include "shopserver.h"

#include <QCoreApplication>
#include <QDate>
#include <cstdio>

namespace {

constexpr int kFailed = 1;
constexpr int kAlreadyExists = 2;

void say(FILE *stream, const QString &text) {
    std::fputs(qPrintable("quillmart-createdb: " + text + "\n"), stream);
}

void usage(FILE *stream) {
    const QString text =
        QString(
            "Usage: quillmart-createdb [--demo] [PATH]\n"
            "       quillmart-createdb [--demo] [--locale NAME] --server CONNINFO\n"
            "       quillmart-createdb --update-rights --server CONNINFO\n"
            "Creates a new, empty Quillmart shop database at PATH (default: %1),\n"
            "or a new shop in the PostgreSQL database that CONNINFO names (a libpq\n"
            "connection string or service name, e.g. \"service=shop\" or\n"
            "\"host=backoffice dbname=shop\"; passwords belong in ~/.pgpass).\n"
            "  --demo         also fill it with the made-up demo catalogue, dated around today\n"
            "  --locale NAME  the server shop's texts sort as in this locale (a BCP 47 name,\n"
            "                 e.g. en-GB or zh-Hant-TW; default: the system's, here %2)\n"
            "An existing file, or a database that already has any of the shop's tables, is\n"
            "never changed: the command then exits with code 2.\n"
            "On a server it also makes the roles %3 (the tills) and %4 (the back\n"
            "office) when they are missing, and gives each the rights its screens need; each\n"
            "till or back-office computer logs in with a login that is a member of one.\n"
            "  --update-rights\n"
            "                 for a shop on a server made by an earlier Quillmart: gives the\n"
            "                 roles this version's rights, adds the sale's function and makes\n"
            "                 each login's scratch rows its own; no row of the shop changes\n")
            .arg(defaultDatabasePath(), shopserver::defaultLocale(), serverroles::kTill,
                 serverroles::kOffice);
    std::fputs(qPrintable(text), stream);
}

int createOnServer(const QString &conninfo, bool demo, const QString &locale) {
    pgtool::Session db(conninfo);
    const QStringList there = shopserver::existingTables(db);
    if (!there.isEmpty()) {
        say(stderr, QString("the %1 already has the table%2 %3; nothing was changed.")
                        .arg(db.describe(), there.size() > 1 ? "s" : "", there.join(", ")));
        return kAlreadyExists;
    }
    db.exec("BEGIN");
    shopserver::createSchema(db, locale);
    if (demo)
        shopcopy::fillServerWithDemo(db, QDate::currentDate());
    db.exec("COMMIT");
    say(stdout, QString("created the shop in the %1%2.")
                    .arg(db.describe(), demo ? " with the demo catalogue" : ""));
    return 0;
}

int updateRights(const QString &conninfo) {
    pgtool::Session db(conninfo);
    db.exec("BEGIN");
    shopserver::checkSchema(db);
    serverrights::updateShop(db);
    db.exec("COMMIT");
    say(stdout, QString("brought the rights of the shop in the %1 up to date.").arg(db.describe()));
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    bool demo = false, update = false;
    QString path, server, locale;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        const bool hasValue = i + 1 < args.size() && !args[i + 1].isEmpty();
        if (arg == "--demo" && !demo) {
            demo = true;
        } else if (arg == "--update-rights" && !update) {
            update = true;
        } else if (arg == "--server" && server.isEmpty() && hasValue) {
            server = args[++i];
        } else if (arg == "--locale" && locale.isEmpty() && hasValue) {
            locale = args[++i];
        } else if (!arg.startsWith('-') && path.isEmpty() && !arg.isEmpty()) {
            path = arg;
        } else {
            say(stderr, QString("unexpected argument '%1'.").arg(arg));
            usage(stderr);
            return kFailed;
        }
    }
    if (!server.isEmpty() && !path.isEmpty()) {
        say(stderr, "give either a file or --server, not both.");
        usage(stderr);
        return kFailed;
    }
    if (!locale.isEmpty() && server.isEmpty()) {
        say(stderr, "--locale is for a shop on a server.");
        usage(stderr);
        return kFailed;
    }
    if (update && (server.isEmpty() || demo || !locale.isEmpty())) {
        say(stderr, "--update-rights goes with --server alone.");
        usage(stderr);
        return kFailed;
    }
    if (!server.isEmpty()) {
        try {
            if (update)
                return updateRights(server);
            return createOnServer(server, demo,
                                  locale.isEmpty() ? shopserver::defaultLocale() : locale);
        } catch (const DataError &e) {
            say(stderr, e.description() + " Nothing was changed.");
            return kFailed;
        }
    }
    if (path.isEmpty())
        path = defaultDatabasePath();

    if (shopfile::occupied(path)) {
        say(stderr, QString("%1 already exists; nothing was changed.").arg(path));
        return kAlreadyExists;
    }
    try {
        shopfile::makeShop(path, demo ? shopfile::Contents::Demo : shopfile::Contents::Empty,
                           QDate::currentDate());
    } catch (const DataError &e) {
        say(stderr, e.description());
        return kFailed;
    }
    say(stdout, QString("created %1%2.").arg(path, demo ? " with the demo catalogue" : ""));
    return 0;
}
