// The shop's tables, val() and text order rendered for a PostgreSQL server.
#include "pgschema.h"

#include "dataerror.h"
#include "pgsession.h"
#include "serverroles.h"
#include "shoptables.h"
#include "stepdescription.h"

#include <QRegularExpression>

namespace pgschema {

namespace {

// val(text): the number a text begins with, as the program reads it from a text in the file
// (conv::leadingNumber), for the same results on both engines.
constexpr char kValSql[] = R"sql(
CREATE FUNCTION val(t text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $val$
DECLARE
    m text;
    negative boolean;
    mantissa text;
    digits text;
    exponent text;
    point integer;
    magnitude bigint;
    n numeric;
BEGIN
    -- The common cases first, without the cost of finding the number's part of the text: a
    -- plain number, and a text that does not begin with one.
    IF length(t) <= 300 AND t ~ '^[0-9]+(\.[0-9]*)?$' THEN
        RETURN t::double precision;
    END IF;
    IF t !~ '^[ \t\n\v\f\r]*[+-]?[ \t\n\v\f\r]*\.?[0-9]' THEN
        RETURN 0;
    END IF;
    -- Blanks, a sign, digits with at most one point, and an exponent. Only ASCII blanks and
    -- digits count, as in the program.
    m := substring(t FROM '^[ \t\n\v\f\r]*([+-]?[ \t\n\v\f\r]*(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)');
    IF m IS NULL THEN
        RETURN 0;
    END IF;
    m := replace(m, ' ', '');
    -- A sign parted from its digits by a tab or a line break makes no number.
    IF m ~ '[\t\n\v\f\r]' THEN
        RETURN 0;
    END IF;
    -- Up to 300 characters and no exponent: always within the range of a double.
    IF length(m) <= 300 AND m !~ '[eE]' THEN
        RETURN m::double precision;
    END IF;
    -- Otherwise the value is 0.<digits> times ten to the power magnitude; a value that is not
    -- a finite, non-zero double is 0, where the server's own conversion would fail.
    negative := left(m, 1) = '-';
    mantissa := substring(m FROM '^[+-]?([0-9.]+)');
    exponent := coalesce(substring(m FROM '[eE]([+-]?[0-9]+)$'), '0');
    point := position('.' IN mantissa);
    IF point = 0 THEN
        point := length(mantissa) + 1;
    END IF;
    digits := replace(mantissa, '.', '');
    magnitude := point - 1 - (length(digits) - length(ltrim(digits, '0')));
    digits := rtrim(ltrim(digits, '0'), '0');
    IF digits = '' THEN
        RETURN CASE WHEN negative THEN '-0'::double precision ELSE 0 END;
    END IF;
    exponent := ltrim(ltrim(exponent, '+-'), '0');
    IF length(exponent) > 12 THEN
        RETURN 0;
    END IF;
    IF exponent <> '' THEN
        magnitude := magnitude + CASE WHEN m ~ '[eE]-' THEN -exponent::bigint ELSE exponent::bigint END;
    END IF;
    IF magnitude >= 310 OR magnitude <= -324 THEN
        RETURN 0;
    END IF;
    -- 800 significant digits decide the rounding; a last 1 stands for any that follow.
    IF length(digits) > 800 THEN
        digits := left(digits, 800) || '1';
    END IF;
    n := ('0.' || digits || 'e' || magnitude)::numeric;
    -- At least 2^1024 - 2^970 rounds to infinity; at most 2^-1075 rounds to zero.
    IF n >= 179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273854845817711531764475730270069855571366959622842914819860834936475292719074168444365510704342711559699508093042880177904174497792::numeric
       OR n * 404804506614621236704990693437834614099113299528284236713802716054860679135990693783920767402874248990374155728633623822779617474771586953734026799881477019843034848553132722728933815484186432682479535356945490137124014966849385397236206711298319112681620113024717539104666829230461005064372655017292012526615415482186989568::numeric <= 1 THEN
        RETURN 0;
    END IF;
    RETURN (CASE WHEN negative THEN -n ELSE n END)::double precision;
END
$val$;

-- Numbers are their own value: val(Qty) and val(Price) resolve to this one.
CREATE FUNCTION val(x double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT x';
)sql";

// The hidden columns every server table ends with, which the screens never show: "till" in
// the scratch tables, the login that wrote the row, which alone sees it (the server fills it
// in: one login per till); and "rowid", the key rows are written back by, which for a table
// with an auto-number is that number itself, as in the file. A table of a step may have a key
// of its own (a text), which the rowid then only stands beside.
QStringList hiddenColumns(const TableDescription &table, bool ownKey) {
    QStringList lines;
    if (table.scratch)
        lines << QStringLiteral("\"till\" text NOT NULL DEFAULT current_user");
    if (table.autoNumber != nullptr)
        lines << QStringLiteral("\"rowid\" bigint GENERATED ALWAYS AS (%1) STORED NOT NULL UNIQUE")
                     .arg(quoted(table.autoNumber->name));
    else
        lines << QStringLiteral("\"rowid\" bigint GENERATED BY DEFAULT AS IDENTITY ") +
                     (ownKey ? QStringLiteral("NOT NULL UNIQUE") : QStringLiteral("PRIMARY KEY"));
    return lines;
}

// The table with its columns, hidden columns and `constraints` (a step's), and the row
// security of a scratch table.
QString createTableSql(const TableDescription &table, const QStringList &columns,
                       const QStringList &constraints, bool ownKey) {
    QString sql =
        QStringLiteral("CREATE TABLE %1 (\n    %2\n);\n")
            .arg(quoted(table.name), (columns + hiddenColumns(table, ownKey) + constraints)
                                         .join(QLatin1String(",\n    ")));
    if (table.scratch)
        sql += QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY;\n"
                              "ALTER TABLE %1 FORCE ROW LEVEL SECURITY;\n")
                   .arg(quoted(table.name)) +
               scratchPolicySql(table) + QStringLiteral(";\n");
    return sql;
}

QString quotedList(std::span<const Column> columns) {
    QStringList names;
    for (const Column &column : columns)
        names << quoted(column.name);
    return names.join(QLatin1String(", "));
}

QString columnSql(const Column &column) {
    switch (column.kind) {
    case ColumnKind::AutoNumber:
        return QStringLiteral("integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    case ColumnKind::Text:
        // Compared and sorted by their bytes, as the file does; the shop's own text order is
        // asked for by name (shoptext) where the screens sort for people.
        return QStringLiteral("text COLLATE \"C\"");
    default:
        return type(column.kind);
    }
}

} // namespace

QString name(const QString &shopName) {
    return shopName.toLower();
}

QString quoted(const QString &shopName) {
    return pgtool::quoteIdent(name(shopName));
}

QString type(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::AutoNumber:
    case ColumnKind::Whole:
        return QStringLiteral("integer");
    case ColumnKind::Money:
        return QStringLiteral("numeric(19,4)");
    case ColumnKind::Date:
        return QStringLiteral("date");
    case ColumnKind::Time:
        return QStringLiteral("time(0) without time zone");
    case ColumnKind::Moment:
        return QStringLiteral("timestamp(0) without time zone");
    case ColumnKind::Text:
        return QStringLiteral("text");
    }
    return QString();
}

QStringList columns(const TableDescription &table) {
    QStringList result;
    for (const Column &column : table.columns)
        result << name(column.name) + QLatin1Char(' ') + type(column.kind);
    if (table.scratch)
        result << QStringLiteral("till text");
    return result << QStringLiteral("rowid bigint");
}

QString tablesSql() {
    QString sql;
    for (const TableDescription &table : tables::all) {
        QStringList columns;
        for (const Column &column : table.columns)
            columns << quoted(column.name) + QLatin1Char(' ') + columnSql(column);
        sql += createTableSql(table, columns, {}, false);
        for (const IndexDescription &index : table.indexes)
            sql += QStringLiteral("CREATE INDEX %1 ON %2 (%3);\n")
                       .arg(quoted(index.name), quoted(table.name), quotedList(index.columns));
    }
    return sql;
}

namespace {

QString stepColumnSql(const Column &column, const ColumnRules &rules) {
    QString sql = quoted(column.name) + QLatin1Char(' ') + columnSql(column);
    if (rules.key && column.kind != ColumnKind::AutoNumber)
        sql += QStringLiteral(" PRIMARY KEY");
    if (rules.notNull && !rules.key)
        sql += QStringLiteral(" NOT NULL");
    if (rules.unique)
        sql += QStringLiteral(" UNIQUE");
    if (rules.fallback != nullptr)
        sql += QStringLiteral(" DEFAULT ") + QString::fromUtf8(rules.fallback);
    if (rules.check != nullptr)
        sql += QStringLiteral(" CHECK (%1)").arg(QString::fromUtf8(rules.check));
    return sql;
}

QString role(ShopRole role) {
    return QLatin1String(role == ShopRole::Till ? serverroles::kTill : serverroles::kOffice);
}

} // namespace

QString stepSql(const StepDescription &step) {
    QString sql;
    for (const StepTable &table : step.tables) {
        QStringList columns, constraints;
        bool ownKey = false;
        for (std::size_t i = 0; i < table.table->columns.size(); ++i) {
            columns << stepColumnSql(table.table->columns[i], table.rules[i]);
            ownKey = ownKey || table.rules[i].key;
        }
        for (const std::span<const Column> unique : table.uniques)
            constraints << QStringLiteral("UNIQUE (%1)").arg(quotedList(unique));
        for (const char *check : table.checks)
            constraints << QStringLiteral("CHECK (%1)").arg(QString::fromUtf8(check));
        sql += createTableSql(*table.table, columns, constraints, ownKey);
    }
    for (const StepIndex &index : step.indexes) {
        sql += QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                   .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(), quoted(index.name),
                        quoted(index.table), quotedList(index.columns));
        if (index.where != nullptr)
            sql += QStringLiteral(" WHERE ") + QString::fromUtf8(index.where);
        sql += QStringLiteral(";\n");
    }
    return sql + stepRightsSql(step) + QString::fromUtf8(step.serverSql);
}

QString stepRightsSql(const StepDescription &step) {
    QStringList tables;
    for (const StepTable &table : step.tables)
        tables << QLatin1String(table.table->name);
    return rightsSql(tables, step.grants);
}

QString rightsSql(const QStringList &tables, std::span<const TableGrant> grants) {
    const QString roles =
        QStringLiteral("PUBLIC, %1, %2").arg(role(ShopRole::Till), role(ShopRole::Office));
    QString sql;
    for (const QString &table : tables) {
        sql += QStringLiteral("REVOKE ALL ON %1 FROM %2;\n").arg(quoted(table), roles);
        // And on its numbering: the sequences of its auto-number and its rowid.
        sql += QStringLiteral("DO $$ DECLARE s regclass; BEGIN FOR s IN SELECT d.objid::regclass "
                              "FROM pg_depend d JOIN pg_class c ON c.oid = d.objid AND c.relkind = "
                              "'S' WHERE d.refobjid = %1::regclass AND d.deptype IN ('a', 'i') "
                              "LOOP EXECUTE format('REVOKE ALL ON SEQUENCE %s FROM %2', s); END "
                              "LOOP; END $$;\n")
                   .arg(pgtool::quoteLiteral(quoted(table)), roles);
    }
    for (const TableGrant &grant : grants) {
        QStringList rights;
        if (grant.select)
            rights << QStringLiteral("SELECT");
        if (grant.insert)
            rights << QStringLiteral("INSERT");
        if (grant.updateEvery)
            rights << QStringLiteral("UPDATE");
        else if (!grant.update.empty())
            rights << QStringLiteral("UPDATE (%1)").arg(quotedList(grant.update));
        if (grant.remove)
            rights << QStringLiteral("DELETE");
        sql += QStringLiteral("GRANT %1 ON %2 TO %3;\n")
                   .arg(rights.join(QLatin1String(", ")), quoted(grant.table), role(grant.role));
        // New rows are numbered by the table's sequence (its auto-number's, or its rowid's).
        if (grant.insert)
            sql += QStringLiteral("DO $$ BEGIN EXECUTE format('GRANT USAGE ON SEQUENCE %s TO %I', "
                                  "coalesce(pg_get_serial_sequence(%1, 'rowid'), "
                                  "(SELECT pg_get_serial_sequence(%1, a.attname) FROM pg_attribute "
                                  "a WHERE a.attrelid = %1::regclass AND a.attidentity <> '')), "
                                  "%2); END $$;\n")
                       .arg(pgtool::quoteLiteral(quoted(grant.table)),
                            pgtool::quoteLiteral(role(grant.role)));
    }
    return sql;
}

QString scratchPolicySql(const TableDescription &table) {
    return QStringLiteral("CREATE POLICY %1 ON %2 FOR ALL USING (\"till\" = current_user) "
                          "WITH CHECK (\"till\" = current_user)")
        .arg(pgtool::quoteIdent(name(table.name) + QStringLiteral("_of_this_till")),
             quoted(table.name));
}

QString functionsSql(const QString &locale) {
    static const QRegularExpression bcp47(QStringLiteral("^[A-Za-z]{2,8}(-[A-Za-z0-9]{1,8})*$"));
    if (!bcp47.match(locale).hasMatch())
        throw DataError(QStringLiteral("\"%1\" is not a locale name such as en-GB, de-DE or "
                                       "zh-Hant-TW.")
                            .arg(locale));
    // Case is weighed no more than accents are (level 2), as the file's own order does;
    // texts still alike then go by their bytes, so the order is the same on every till.
    const QString caseBlind =
        locale + (locale.contains(QLatin1String("-u-")) ? QStringLiteral("-ks-level2")
                                                        : QStringLiteral("-u-ks-level2"));
    return QString::fromUtf8(kValSql) +
           QStringLiteral("CREATE COLLATION shoptext (provider = icu, locale = %1, "
                          "deterministic = true);\n")
               .arg(pgtool::quoteLiteral(caseBlind));
}

} // namespace pgschema
