// Making a shop on a PostgreSQL server: schema, roles and their rights.
#include "shopserver.h"

#include "dataerror.h"
#include "serverrights.h"
#include "serverschema.h"
#include "valfunction.h"

#include <QLocale>
#include <QRegularExpression>

namespace shopserver {

namespace {

QString serverType(ServerKind kind);

} // namespace

QString defaultLocale() {
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C || system.language() == QLocale::AnyLanguage)
        return "und";
    const QString name = system.bcp47Name();
    return name.isEmpty() ? QString("und") : name;
}

QString schemaSql(const QString &locale) {
    static const QRegularExpression bcp47("^[A-Za-z]{2,8}(-[A-Za-z0-9]{1,8})*$");
    if (!bcp47.match(locale).hasMatch())
        throw DataError(
            QString("\"%1\" is not a locale name such as en-GB, de-DE or zh-Hant-TW.").arg(locale));
    // Case is weighed no more than accents are (level 2), as the file's own order does;
    // texts still alike then go by their bytes, so the order is the same on every till.
    const QString caseBlind =
        locale + (locale.contains(QLatin1String("-u-")) ? "-ks-level2" : "-u-ks-level2");
    return QString::fromUtf8(kServerTablesSql) + QString::fromUtf8(kValSql) +
           QString(
               "CREATE COLLATION shoptext (provider = icu, locale = %1, deterministic = true);\n")
               .arg(pgtool::quoteLiteral(caseBlind));
}

QStringList existingTables(pgtool::Session &db) {
    QStringList found;
    for (const ServerTable &table : servertables::all) {
        if (db.scalar("SELECT count(*) FROM pg_class WHERE relname = $1 "
                      "AND relnamespace = current_schema()::regnamespace",
                      {QString::fromLatin1(table.name)}) != "0")
            found << table.name;
    }
    return found;
}

void createSchema(pgtool::Session &db, const QString &locale) {
    const QString sql = schemaSql(locale);
    if (db.scalar("SELECT current_schema()").isNull())
        throw DataError(QString("The %1 has no schema to make the shop in (see search_path).")
                            .arg(db.describe()));
    const QStringList there = existingTables(db);
    if (!there.isEmpty())
        throw DataError(QString("The %1 already has the table%2 %3; nothing was changed.")
                            .arg(db.describe(), there.size() > 1 ? "s" : "", there.join(", ")));
    db.exec(sql);
    serverrights::makeRoles(db);
    serverrights::createSaleFunction(db);
    serverrights::grantRights(db);
}

namespace {

QString serverType(ServerKind kind) {
    switch (kind) {
    case ServerKind::AutoNumber:
    case ServerKind::Whole:
        return "integer";
    case ServerKind::Money:
        return "numeric(19,4)";
    case ServerKind::Date:
        return "date";
    case ServerKind::Time:
        return "time(0) without time zone";
    case ServerKind::Text:
        return "text";
    }
    return QString();
}

} // namespace

void checkSchema(pgtool::Session &db) {
    const QStringList there = existingTables(db);
    QStringList problems;
    for (const ServerTable &table : servertables::all) {
        if (!there.contains(table.name)) {
            problems << QString("the table %1 is missing").arg(table.name);
            continue;
        }
        QStringList expected, found;
        for (const ServerColumn &column : table.columns)
            expected << QString("%1 %2").arg(column.name, serverType(column.kind));
        if (table.perTill)
            expected << "till text";
        expected << "rowid bigint";
        const pgtool::Result columns = db.exec(
            "SELECT attname || ' ' || format_type(atttypid, atttypmod) FROM pg_attribute "
            "WHERE attrelid = (quote_ident(current_schema()) || '.' || quote_ident($1))::regclass "
            "AND attnum > 0 AND NOT attisdropped ORDER BY attnum",
            {QString::fromLatin1(table.name)});
        for (int row = 0; row < columns.rows(); ++row)
            found << columns.text(row, 0);
        if (found != expected)
            problems << QString("the table %1 has the columns (%2), not (%3)")
                            .arg(table.name, found.join(", "), expected.join(", "));
    }
    if (!problems.isEmpty())
        throw DataError(QString("The %1 does not hold the shop's tables as Quillmart makes them: "
                                "%2.")
                            .arg(db.describe(), problems.join("; ")));
}

} // namespace shopserver
