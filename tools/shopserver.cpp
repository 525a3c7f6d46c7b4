// Making a shop on a PostgreSQL server: schema, roles and their rights.
#include "shopserver.h"

#include "dataerror.h"
#include "pgschema.h"
#include "pgupgrade.h"
#include "serverrights.h"
#include "shoptables.h"
#include "shopupgrade.h"

#include <QLocale>

namespace shopserver {

QString defaultLocale() {
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C || system.language() == QLocale::AnyLanguage)
        return "und";
    const QString name = system.bcp47Name();
    return name.isEmpty() ? QString("und") : name;
}

QCommandLineOption localeOption() {
    QCommandLineOption locale("locale",
                              QString("The texts of a shop made on the server sort as in this "
                                      "locale (a BCP 47 name, e.g. en-GB or zh-Hant-TW; default: "
                                      "the system's, here %1).")
                                  .arg(defaultLocale()),
                              "NAME");
    locale.setDefaultValue(defaultLocale());
    return locale;
}

QStringList existingTables(pgtool::Session &db) {
    ServerUpgrade shop(db); // which asks the catalogue for a table of the shop's schema
    QStringList found;
    for (const TableDescription *table :
         shopversion::tablesOf(shopversion::newest(steps::all), steps::all)) {
        if (shop.hasTable(table->name))
            found << pgschema::name(table->name);
    }
    return found;
}

void createSchema(pgtool::Session &db, const QString &locale, int version) {
    const QString sql = pgschema::tablesSql() + pgschema::functionsSql(locale);
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
    ServerUpgrade engine(db, ServerUpgrade::Transactions::Callers);
    shopupgrade::makeSteps(engine, steps::all, version);
}

ShopVersion checkSchema(pgtool::Session &db) {
    const QStringList there = existingTables(db);
    ServerUpgrade shop(db);
    const ShopVersion version = shopversion::read(shop, steps::all);
    QStringList problems;
    for (const TableDescription *described : shopversion::tablesOf(version.number, steps::all)) {
        const TableDescription &table = *described;
        const QString name = pgschema::name(table.name);
        if (!there.contains(name)) {
            problems << QString("the table %1 is missing").arg(name);
            continue;
        }
        const QStringList expected = pgschema::columns(table);
        QStringList found;
        const pgtool::Result columns = db.exec(
            "SELECT attname || ' ' || format_type(atttypid, atttypmod) FROM pg_attribute "
            "WHERE attrelid = (quote_ident(current_schema()) || '.' || quote_ident($1))::regclass "
            "AND attnum > 0 AND NOT attisdropped ORDER BY attnum",
            {name});
        for (int row = 0; row < columns.rows(); ++row)
            found << columns.text(row, 0);
        if (found != expected)
            problems << QString("the table %1 has the columns (%2), not (%3)")
                            .arg(name, found.join(", "), expected.join(", "));
    }
    if (!problems.isEmpty())
        throw DataError(QString("The %1 does not hold the shop's tables as Quillmart makes them: "
                                "%2.")
                            .arg(db.describe(), problems.join("; ")));
    return version;
}

} // namespace shopserver
