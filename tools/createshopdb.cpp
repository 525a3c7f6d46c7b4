// quillmart-createdb: makes a new shop database file, or a new shop on a PostgreSQL server,
// optionally with the demo catalogue.
#include "dataerror.h"
#include "opendatabase.h"
#include "pgschema.h"
#include "receipts.h"
#include "refunds.h"
#include "serverrights.h"
#include "shopcopy.h"
#include "shopfile.h"
#include "shoppaths.h"
#include "shopserver.h"
#include "tillsessions.h"
#include "toolargs.h"

#include <QCoreApplication>
#include <QDate>
#include <cstdio>

namespace {

using namespace toolargs;

int createOnServer(const QString &conninfo, bool demo, bool payments, const QString &locale,
                   int version) {
    pgtool::Session db(conninfo);
    const QStringList there = shopserver::existingTables(db);
    if (!there.isEmpty()) {
        say(stderr, QString("the %1 already has the table%2 %3; nothing was changed.")
                        .arg(db.describe(), there.size() > 1 ? "s" : "", there.join(", ")));
        return kAlreadyExists;
    }
    db.exec("BEGIN");
    shopserver::createSchema(db, locale, version);
    if (demo)
        shopcopy::fillServerWithDemo(db, QDate::currentDate());
    // The ways to pay every shop has, once the shop's own rows are in.
    if (version >= shop::receiptsVersion) {
        db.exec("INSERT INTO paymentmethods (name, kind) VALUES ('Cash', 'cash'), ('Card', 'card') "
                "ON CONFLICT DO NOTHING");
        db.exec(QString("INSERT INTO shopsettings (setting, value) VALUES ('Payments', '%1'), "
                        "('CashRounding', 'none') ON CONFLICT (setting) DO UPDATE SET value = "
                        "CASE WHEN excluded.setting = 'Payments' THEN excluded.value ELSE "
                        "shopsettings.value END")
                    .arg(payments ? "on" : "off"));
    }
    if (version >= shop::sessionsVersion)
        for (const QString &reason : shop::startingRefundReasons())
            db.exec(QString("INSERT INTO refundreasons (name) VALUES ('%1') ON CONFLICT DO NOTHING")
                        .arg(reason));
    db.exec("COMMIT");
    say(stdout, QString("created the shop in the %1%2%3.")
                    .arg(db.describe(), demo ? " with the demo catalogue" : "",
                         payments ? ", taking payment at the counter" : ""));
    return 0;
}

int updateRights(const QString &conninfo) {
    pgtool::Session db(conninfo);
    db.exec("BEGIN");
    const ShopVersion version = shopserver::checkSchema(db);
    serverrights::updateShop(db);
    // The tables of the steps made: the rights their steps give, nothing more (a step may
    // make no table).
    for (const StepDescription &step : steps::all)
        if (const QString rights = pgschema::stepRightsSql(step);
            step.version <= version.number && !rights.isEmpty())
            db.exec(rights);
    db.exec("COMMIT");
    say(stdout, QString("brought the rights of the shop in the %1 up to date.").arg(db.describe()));
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QCommandLineOption demo("demo", "Also fill it with the made-up demo catalogue, dated "
                                          "around today.");
    const QCommandLineOption payments(
        "payments", "The counter takes payment: each customer's lines form a numbered receipt "
                    "paid in cash, by card or another method. Without it the counter sells "
                    "as it always has; the back office can switch it on later.");
    const QCommandLineOption locale = shopserver::localeOption();
    const QCommandLineOption server("server", "The shop is made in this PostgreSQL database.",
                                    "CONNINFO");
    const QCommandLineOption shopVersion(
        "shop-version",
        QString("Makes a shop of an earlier version, 1 (the ten tables alone) to %1, as an "
                "earlier Quillmart made it; quillmart-upgrade brings it up to date.")
            .arg(shopversion::newest(steps::all)),
        "N");
    const QCommandLineOption update(
        "update-rights", "For a shop on a server made by an earlier Quillmart: gives the roles "
                         "this version's rights, adds the sale's function and makes each "
                         "login's scratch rows its own; no row of the shop changes.");
    QCommandLineParser parser;
    const QStringList paths = toolargs::parse(
        parser,
        QString("  quillmart-createdb [--demo] [--payments] [PATH]\n"
                "  quillmart-createdb [--demo] [--payments] [--locale NAME] --server CONNINFO\n"
                "  quillmart-createdb --update-rights --server CONNINFO\n"
                "Creates a new, empty Quillmart shop database of the newest version at PATH\n"
                "(default: %1),\n"
                "or a new shop in the PostgreSQL database that CONNINFO names (a libpq\n"
                "connection string or service name, e.g. \"service=shop\" or\n"
                "\"host=backoffice dbname=shop\"; passwords belong in ~/.pgpass).\n"
                "On a server it also makes the roles %2 (the tills) and %3 (the back\n"
                "office) when they are missing, and gives each the rights its screens need; each\n"
                "till or back-office computer logs in with a login that is a member of one.\n"
                "An existing file, or a database that already has any of the shop's tables, is\n"
                "never changed: the command then exits with code 2, as for a wrong argument.")
            .arg(defaultDatabasePath(), serverroles::kTill, serverroles::kOffice),
        {demo, payments, locale, server, update, shopVersion}, {"PATH", "The new shop file."});
    int version = shopversion::newest(steps::all);
    if (parser.isSet(shopVersion)) {
        bool whole = false;
        version = parser.value(shopVersion).toInt(&whole);
        if (!whole || version < 1 || version > shopversion::newest(steps::all))
            toolargs::refuse(parser, QString("--shop-version is a version from 1 to %1.")
                                         .arg(shopversion::newest(steps::all)));
    }
    if (parser.isSet(payments) && version < shop::receiptsVersion)
        toolargs::refuse(
            parser,
            QString("--payments needs a shop of version %1 or later.").arg(shop::receiptsVersion));
    if (parser.isSet(server) && !paths.isEmpty())
        toolargs::refuse(parser, "give either a file or --server, not both.");
    if (parser.isSet(locale) && !parser.isSet(server))
        toolargs::refuse(parser, "--locale is for a shop on a server.");
    if (parser.isSet(update) &&
        (!parser.isSet(server) || parser.isSet(demo) || parser.isSet(locale) ||
         parser.isSet(shopVersion) || parser.isSet(payments)))
        toolargs::refuse(parser, "--update-rights goes with --server alone.");
    if (parser.isSet(server)) {
        try {
            if (parser.isSet(update))
                return updateRights(parser.value(server));
            return createOnServer(parser.value(server), parser.isSet(demo), parser.isSet(payments),
                                  parser.value(locale), version);
        } catch (const DataError &e) {
            say(stderr, e.description() + " Nothing was changed.");
            return kFailed;
        }
    }
    const QString path = paths.isEmpty() ? defaultDatabasePath() : paths.first();
    if (shopfile::occupied(path)) {
        say(stderr, QString("%1 already exists; nothing was changed.").arg(path));
        return kAlreadyExists;
    }
    try {
        shopfile::makeShop(
            path, parser.isSet(demo) ? shopfile::Contents::Demo : shopfile::Contents::Empty,
            QDate::currentDate(), version);
        if (parser.isSet(payments)) {
            Connection connection = drivers::open(path).connect();
            shop::setPaymentsOn(connection, true);
        }
    } catch (const DataError &e) {
        say(stderr, e.description());
        return kFailed;
    }
    say(stdout, QString("created %1%2%3.")
                    .arg(path, parser.isSet(demo) ? " with the demo catalogue" : "",
                         parser.isSet(payments) ? ", taking payment at the counter" : ""));
    return 0;
}
