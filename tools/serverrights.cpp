// The roles of a server shop, their rights, and the sale's function.
#include "serverrights.h"

#include "pgschema.h"
#include "serverroles.h"
#include "shoptables.h"

#include <QStringList>

namespace serverrights {

namespace {

using namespace tables;

// Reading a table, and doing everything the screens do to its rows.
constexpr TableGrant reads(const char *table, ShopRole role) {
    return {.table = table, .role = role, .select = true};
}
constexpr TableGrant all(const char *table, ShopRole role) {
    return {.table = table,
            .role = role,
            .select = true,
            .insert = true,
            .remove = true,
            .updateEvery = true};
}

// What each role may do to each table. A till reads the catalogue, the offers and the sales,
// and keeps its own top-sellers summary; it changes stock and adds sale rows only through the
// sale's function, so that it holds no right that could take a lock others wait for on the
// catalogue or the sales. The back office does everything the screens do to the rows. A
// table that a later version of the shop adds says in its upgrade step, as these lines do,
// which role may read and write it.
constexpr ShopRole kTill = ShopRole::Till, kOffice = ShopRole::Office;
constexpr TableGrant kGrants[] = {
    // The tills.
    reads(Titles::table, kTill), reads(soldbook::table, kTill), reads(onsale::table, kTill),
    all(tmp::table, kTill),
    // The back office.
    all(Titles::table, kOffice), all(Subject::table, kOffice), all(publishers::table, kOffice),
    all(retail::table, kOffice), all(soldbook::table, kOffice), all(onsale::table, kOffice),
    all(Bill::table, kOffice), all(paidbill::table, kOffice), all(tmp::table, kOffice),
    all(tempPay::table, kOffice)};

QString role(const char *name) {
    return pgtool::quoteIdent(QLatin1String(name));
}

QString saleFunction() {
    return QString("%1(integer, integer, numeric, date, time without time zone)")
        .arg(serverroles::kBookSale);
}

} // namespace

void makeRoles(pgtool::Session &db) {
    for (const char *name : {serverroles::kTill, serverroles::kOffice})
        db.exec(QString("DO $$ BEGIN "
                        "IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '%1') THEN "
                        "BEGIN CREATE ROLE %1 NOLOGIN; "
                        "EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; "
                        "WHEN insufficient_privilege THEN RAISE EXCEPTION "
                        "'The role %1 is missing, and % may not create roles. Have the "
                        "server''s administrator run: sudo -u postgres psql -c \"CREATE ROLE "
                        "%1 NOLOGIN\"', current_user; END; END IF; END $$")
                    .arg(QLatin1String(name)));
}

void createSaleFunction(pgtool::Session &db) {
    // Runs as its owner, so its search path is pinned to the shop's schema; it checks what it
    // is given: a title that exists (false when it is gone), a whole number of copies within
    // reason, and the price of the catalogue or of an offer of that day.
    const QString schema = pgtool::quoteIdent(db.scalar("SELECT current_schema()"));
    db.exec(QString(R"sql(
CREATE OR REPLACE FUNCTION %1(p_bookno integer, p_copies integer, p_price numeric,
                              p_day date, p_time time without time zone)
RETURNS boolean LANGUAGE plpgsql SECURITY DEFINER SET search_path = %2, pg_temp AS $sale$
DECLARE
    v_isbn text;
    v_title text;
    v_price numeric;
BEGIN
    IF p_bookno IS NULL OR p_copies IS NULL OR p_price IS NULL OR p_day IS NULL
            OR p_time IS NULL THEN
        RAISE EXCEPTION 'a sale needs its title, copies, price, day and time'
            USING ERRCODE = 'null_value_not_allowed';
    END IF;
    IF abs(p_copies) > 1000000000 THEN
        RAISE EXCEPTION 'no sale is of % copies', p_copies
            USING ERRCODE = 'numeric_value_out_of_range';
    END IF;
    UPDATE titles SET qty = qty - p_copies WHERE bookno = p_bookno
        RETURNING isbn, title, "sale price" INTO v_isbn, v_title, v_price;
    IF NOT FOUND THEN
        RETURN false;
    END IF;
    IF round(p_price, 4) IS DISTINCT FROM v_price AND NOT EXISTS (
            SELECT FROM onsale o WHERE o.isbn = v_isbn AND o."onsale price" = round(p_price, 4)
            AND p_day BETWEEN o."begin" AND o."end") THEN
        RAISE EXCEPTION 'the price % of "%" is neither its price in the catalogue nor that of '
            'an offer of the day; look the title up again', trim_scale(round(p_price, 4)), v_title
            USING ERRCODE = 'check_violation';
    END IF;
    INSERT INTO soldbook (solddate, soldtime, isbn, title, price, qty)
        VALUES (p_day, p_time, v_isbn, v_title, p_price, p_copies);
    RETURN true;
END
$sale$)sql")
                .arg(QLatin1String(serverroles::kBookSale), schema));
}

void grantRights(pgtool::Session &db) {
    QStringList names;
    for (const TableDescription &table : tables::all)
        names << table.name;
    db.exec(pgschema::rightsSql(names, kGrants));
    const QString both = role(serverroles::kTill) + ", " + role(serverroles::kOffice);
    db.exec(QString("REVOKE ALL ON FUNCTION val(text), val(double precision), %1 FROM PUBLIC; "
                    "GRANT EXECUTE ON FUNCTION val(text), val(double precision), %1 TO %2")
                .arg(saleFunction(), both));
    // Everyone may connect to a new database and make temporary tables in it: the shop's
    // roles may connect, and nobody but the owner makes tables. (Only the database's owner
    // can change this; for anyone else the server keeps it as it is, with a warning.)
    db.exec(QString("DO $$ BEGIN "
                    "EXECUTE format('REVOKE TEMPORARY ON DATABASE %I FROM PUBLIC', "
                    "current_database()); "
                    "EXECUTE format('GRANT CONNECT ON DATABASE %I TO %I, %I', "
                    "current_database(), '%1', '%2'); "
                    "EXECUTE format('GRANT USAGE ON SCHEMA %I TO %I, %I', current_schema(), "
                    "'%1', '%2'); "
                    "END $$")
                .arg(QLatin1String(serverroles::kTill), QLatin1String(serverroles::kOffice)));
}

void updateShop(pgtool::Session &db) {
    makeRoles(db);
    for (const TableDescription &table : tables::all) {
        if (!table.scratch)
            continue;
        const QString name = pgschema::quoted(table.name);
        const QString policy = pgtool::quoteIdent(pgschema::name(table.name) + "_of_this_till");
        // The earlier rows belong to program runs that are over: nobody's now.
        db.exec(QString("TRUNCATE %1").arg(name));
        db.exec(QString("ALTER TABLE %1 ALTER COLUMN \"till\" SET DEFAULT current_user").arg(name));
        db.exec(QString("DROP POLICY IF EXISTS %1 ON %2").arg(policy, name));
        db.exec(pgschema::scratchPolicySql(table));
    }
    createSaleFunction(db);
    grantRights(db);
}

} // namespace serverrights
