// The tests' shops on the throwaway server: one database per test program, made from the
// server schema once and emptied for each test.
#include "testserver.h"

#include "dataerror.h"
#include "pgsession.h"
#include "refunds.h"
#include "serverroles.h"
#include "shoplocation.h"
#include "shopserver.h"
#include "shopsteps.h"
#include "shoptables.h"

#include <QProcessEnvironment>
#include <libpq-fe.h>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace testserver {

namespace {

QString adminSettings() {
    const QString settings = qEnvironmentVariable("QUILLMART_TEST_SERVER");
    if (settings.isEmpty())
        throw std::runtime_error("QUILLMART_TEST_SERVER is not set: the test command starts a "
                                 "throwaway PostgreSQL server and names it there");
    return settings;
}

// Made anew at each call: the shop is dropped at exit, after function-local statics may
// have gone.
QString databaseName() {
    return QStringLiteral("qmtest_%1").arg(getpid());
}

// A connection of the tests' own (the server's notices, "does not exist, skipping", unshown).
std::unique_ptr<pgtool::Session> connect(const QString &settings) {
    try {
        auto session = std::make_unique<pgtool::Session>(settings);
        PQsetNoticeProcessor(
            session->raw(), [](void *, const char *) {}, nullptr);
        return session;
    } catch (const DataError &error) {
        throw std::runtime_error("test server: " + error.description().toStdString());
    }
}

// Runs SQL as a test's set-up, which must not fail.
void run(pgtool::Session &session, const QString &sql) {
    try {
        session.exec(sql);
    } catch (const DataError &error) {
        throw std::runtime_error("test server: " + error.description().toStdString());
    }
}

QString settingsOf(const QString &database) {
    return adminSettings() + QStringLiteral(" dbname=") + database;
}

// Makes a role on the server unless it is there (roles are the server's: another test
// program may have made it first).
void makeRole(const QString &name, const QString &options) {
    connect(adminSettings())
        ->run(QStringLiteral("DO $$ BEGIN CREATE ROLE %1 %2; EXCEPTION WHEN duplicate_object OR "
                             "unique_violation THEN NULL; END $$")
                  .arg(name, options)
                  .toUtf8());
}

// The shop as the program works it: a login of the back office, made once on the server.
QString officeSettingsOf(const QString &database) {
    static const bool made = [] {
        makeRole(QLatin1String(serverroles::kOffice), QStringLiteral("NOLOGIN"));
        makeRole(officeLogin(), QStringLiteral("LOGIN IN ROLE ") + serverroles::kOffice);
        return true;
    }();
    (void)made;
    return settingsOf(database) + QStringLiteral(" user=") + officeLogin();
}

QString shopSettings() {
    return settingsOf(databaseName());
}

void dropDatabase(const QString &name) {
    try {
        connect(adminSettings())
            ->run(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name).toUtf8());
    } catch (const std::runtime_error &) { // the server is gone already
    }
}

void createShop(const QString &name) {
    {
        const auto admin = connect(adminSettings());
        run(*admin, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        run(*admin, QStringLiteral("CREATE DATABASE %1").arg(name));
    }
    pgtool::Session shop(settingsOf(name));
    shop.exec("BEGIN");
    shopserver::createSchema(shop, QStringLiteral("en-US"));
    shop.exec("COMMIT");
}

// Databases made by name, dropped at the end.
struct Made {
    QStringList names;
    ~Made() {
        for (const QString &name : names)
            dropDatabase(name);
    }
};

struct Owner {
    std::unique_ptr<pgtool::Session> session;
    bool changed = false;
    ~Owner() {
        if (session == nullptr)
            return;
        session.reset();
        dropDatabase(databaseName());
    }
};

Owner &owner() {
    static Owner owner;
    if (owner.changed && owner.session != nullptr) {
        owner.session.reset();
        owner.changed = false;
    }
    if (owner.session == nullptr) {
        createShop(databaseName());
        owner.session = connect(shopSettings());
    }
    return owner;
}

} // namespace

bool enabled() {
    return qEnvironmentVariable("QUILLMART_TEST_ENGINE") == QLatin1String("server");
}

QString freshShop() {
    Owner &shop = owner();
    QStringList names;
    for (const TableDescription &table : tables::all)
        names << QString::fromLatin1(table.name).toLower();
    run(*shop.session, QStringLiteral("TRUNCATE %1 RESTART IDENTITY").arg(names.join(", ")));
    // The tables of every later version empty too (the shop's record of its version stays),
    // and the payment methods and refund reasons as a new shop has them.
    QStringList stepTables;
    for (const StepDescription &step : steps::all)
        for (const StepTable &table : step.tables)
            if (step.version > 2)
                stepTables << QString::fromLatin1(table.table->name).toLower();
    run(*shop.session,
        QStringLiteral("TRUNCATE %1 RESTART IDENTITY; INSERT INTO paymentmethods (name, kind) "
                       "VALUES ('Cash', 'cash'), ('Card', 'card'); INSERT INTO refundreasons "
                       "(name) VALUES ('%2')")
            .arg(stepTables.join(QStringLiteral(", ")),
                 shop::startingRefundReasons().join(QStringLiteral("'), ('"))));
    return shoplocation::ofServer(officeSettingsOf(databaseName()));
}

QString ownerLocation() {
    return shoplocation::ofServer(shopSettings());
}

QString officeLogin() {
    return QStringLiteral("qmtest_office");
}

QString locationAs(const QString &login, const QString &options) {
    makeRole(login, options);
    return shoplocation::ofServer(settingsOf(databaseName()) + QStringLiteral(" user=") + login);
}

void schemaChanged() {
    owner().changed = true;
}

void renumber() {
    run(*owner().session,
        "SELECT setval(s.seq, greatest(s.top, 1), s.top IS NOT NULL) FROM ("
        " SELECT pg_get_serial_sequence(c.table_name, 'bookno') AS seq,"
        "        (SELECT max(bookno) FROM titles) AS top FROM (SELECT 'titles' AS table_name) c"
        " UNION ALL SELECT pg_get_serial_sequence('retail', 'retno'),"
        "        (SELECT max(retno) FROM retail)) s");
    QStringList keyed;
    for (const TableDescription &table : tables::all) {
        const QString name = QString::fromLatin1(table.name).toLower();
        if (name != QLatin1String("titles") && name != QLatin1String("retail"))
            keyed << QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', 'rowid'), "
                                    "coalesce(max(rowid), 1), max(rowid) IS NOT NULL) FROM %1")
                         .arg(name);
    }
    run(*owner().session, keyed.join(QStringLiteral("; ")));
}

QString locationOf(const QString &databaseName) {
    return shoplocation::ofServer(officeSettingsOf(databaseName));
}

void makeShop(const QString &databaseName) {
    static Made made;
    createShop(databaseName);
    made.names << databaseName;
}

void ownerExec(const QString &sql) {
    run(*owner().session, sql);
}

} // namespace testserver
