// The tests' shops on the throwaway server: one database per test program, made from the
// server schema once and emptied for each test.
#include "testserver.h"

#include "pgsession.h"
#include "serverroles.h"
#include "shoplocation.h"
#include "shopserver.h"
#include "shoptables.h"

#include <QProcessEnvironment>
#include <cstdlib>
#include <libpq-fe.h>
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

void run(PGconn *conn, const QByteArray &sql) {
    PGresult *result = PQexec(conn, sql.constData());
    const ExecStatusType status = PQresultStatus(result);
    const std::string error = PQresultErrorMessage(result);
    PQclear(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error("test server: " + error + " in " + sql.left(200).toStdString());
}

PGconn *connect(const QString &settings) {
    PGconn *conn = PQconnectdb(settings.toUtf8().constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string error = PQerrorMessage(conn);
        PQfinish(conn);
        throw std::runtime_error("test server cannot be reached: " + error);
    }
    PQsetNoticeProcessor(
        conn, [](void *, const char *) {}, nullptr);
    return conn;
}

QString settingsOf(const QString &database) {
    return adminSettings() + QStringLiteral(" dbname=") + database;
}

// Makes a role on the server unless it is there (roles are the server's: another test
// program may have made it first).
void makeRole(const QString &name, const QString &options) {
    PGconn *admin = connect(adminSettings());
    PQclear(PQexec(admin, QStringLiteral("DO $$ BEGIN CREATE ROLE %1 %2; EXCEPTION WHEN "
                                         "duplicate_object OR unique_violation THEN NULL; END $$")
                              .arg(name, options)
                              .toUtf8()
                              .constData()));
    PQfinish(admin);
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
    PGconn *admin = PQconnectdb(adminSettings().toUtf8().constData());
    PQclear(PQexec(
        admin,
        QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name).toUtf8().constData()));
    PQfinish(admin);
}

void createShop(const QString &name) {
    PGconn *admin = connect(adminSettings());
    try {
        run(admin, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name).toUtf8());
        run(admin, QStringLiteral("CREATE DATABASE %1").arg(name).toUtf8());
    } catch (...) {
        PQfinish(admin);
        throw;
    }
    PQfinish(admin);
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
    PGconn *conn = nullptr;
    bool changed = false;
    ~Owner() {
        if (conn == nullptr)
            return;
        PQfinish(conn);
        dropDatabase(databaseName());
    }
};

Owner &owner() {
    static Owner owner;
    if (owner.changed && owner.conn != nullptr) {
        PQfinish(owner.conn);
        owner.conn = nullptr;
        owner.changed = false;
    }
    if (owner.conn == nullptr) {
        createShop(databaseName());
        owner.conn = connect(shopSettings());
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
    run(shop.conn, QStringLiteral("TRUNCATE %1 RESTART IDENTITY").arg(names.join(", ")).toUtf8());
    // The counter's receipts and tills go, and the payment settings and methods are as a new
    // shop has them.
    run(shop.conn, "TRUNCATE receipts, receiptlines, payments, receiptrounding, tills, "
                   "paymentmethods, shopsettings RESTART IDENTITY; INSERT INTO paymentmethods "
                   "(name, kind) VALUES ('Cash', 'cash'), ('Card', 'card')");
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
    run(owner().conn,
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
    run(owner().conn, keyed.join(QStringLiteral("; ")).toUtf8());
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
    run(owner().conn, sql.toUtf8());
}

} // namespace testserver
