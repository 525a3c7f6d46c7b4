// A dialect's rendering of the statements the program builds (sqlbuilder.h), and of the
// top-sellers summary both engines run in their own SQL.
#include "sqlbuilder.h"

#include "money.h"
#include "shoptables.h"
#include "sqldialect.h"

QString SqlDialect::name(const QString &name) const {
    if (!spelling_.lowerCaseNames)
        return QLatin1Char('[') + name + QLatin1Char(']');
    QString inner = name.toLower();
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString SqlDialect::parameter(int number) const {
    return QLatin1Char(spelling_.parameterMark) + QString::number(number);
}

EngineSql SqlDialect::render(const sqlb::Statement &statement) const {
    using Verb = sqlb::Statement::Verb;
    int parameters = 0;
    const auto nextParameter = [&] { return parameter(++parameters); };
    const auto names = [&](const QStringList &columns) {
        QStringList named;
        for (const QString &column : columns)
            named << (column == QLatin1String("rowid") ? column : name(column));
        return named.join(QStringLiteral(", "));
    };
    const QString table = name(statement.table);
    QString sql;
    switch (statement.verb) {
    case Verb::Insert: {
        sql = QStringLiteral("INSERT INTO ") + table;
        QStringList values;
        if (!statement.fromColumns.isEmpty())
            values << names(statement.fromColumns);
        for (qsizetype i = statement.fromColumns.size(); i < statement.columns.size(); ++i)
            values << nextParameter();
        if (statement.columns.isEmpty())
            sql += QStringLiteral(" DEFAULT VALUES");
        else if (statement.from.isEmpty())
            sql += QStringLiteral(" (%1) VALUES (%2)")
                       .arg(names(statement.columns), values.join(QStringLiteral(", ")));
        else
            sql += QStringLiteral(" (%1) SELECT %2 FROM %3")
                       .arg(names(statement.columns), values.join(QStringLiteral(", ")),
                            name(statement.from));
        break;
    }
    case Verb::Update: {
        QStringList changes;
        for (qsizetype i = 0; i < statement.columns.size(); ++i) {
            const QString column = name(statement.columns[i]);
            const QChar how = statement.changes[i];
            changes << column + QStringLiteral(" = ") +
                           (how == u'=' ? QString() : column + QLatin1Char(' ') + how + u' ') +
                           nextParameter();
        }
        sql = QStringLiteral("UPDATE %1 SET %2").arg(table, changes.join(QStringLiteral(", ")));
        break;
    }
    case Verb::Delete:
        sql = QStringLiteral("DELETE FROM ") + table;
        break;
    case Verb::Select:
        // Each price as a whole count of ten-thousandths, the products summed as whole
        // numbers: exact on both engines, where a sum of doubles drifts.
        sql =
            QStringLiteral("SELECT %1 FROM %2")
                .arg(statement.moneyTotal
                         ? QStringLiteral("CAST(coalesce(sum(CAST(round(%1 * %2) AS BIGINT) * "
                                          "%3), 0) AS TEXT)")
                               .arg(name(statement.columns[0]), QString::number(Money::unitsPerOne),
                                    name(statement.columns[1]))
                         : names(statement.columns),
                     table);
        break;
    }
    if (!statement.whereColumn.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + names({statement.whereColumn});
        switch (statement.compare) {
        case sqlb::Compare::Equal:
            sql += QStringLiteral(" = ") + nextParameter();
            break;
        case sqlb::Compare::AtLeast:
            sql += QStringLiteral(" >= ") + nextParameter();
            break;
        case sqlb::Compare::Between:
            sql += QStringLiteral(" BETWEEN %1").arg(nextParameter());
            sql += QStringLiteral(" AND %1").arg(nextParameter());
            break;
        }
    }
    if (!statement.order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + name(statement.order);
    if (statement.limit > 0)
        sql += QStringLiteral(" LIMIT ") + QString::number(statement.limit);
    if (!statement.returns.isEmpty())
        sql += QStringLiteral(" RETURNING ") + names(statement.returns);
    return EngineSql{sql, statement.verb == Verb::Select};
}

// One pass over the (ISBN, SoldDate, Qty) index gives each ISBN's copies and its first sale
// row; only then is that row's title fetched, one lookup per ISBN rather than per sale, and
// in the order the rows lie in the table so that each page is read once. The upper bound
// comes first, as in the shop's period query. A missing quantity counts none.
EngineSql SqlDialect::topSellersSql(const QString &copiesText, const QString &datePrefix) const {
    namespace S = tables::soldbook;
    namespace M = tables::tmp;
    const auto n = [this](const Column &column) { return name(QLatin1String(column.name)); };
    return EngineSql{
        QStringLiteral(
            "INSERT INTO %1 (%2, %3, %4)"
            " SELECT g.isbn, s.%5, %10"
            " FROM (SELECT %6 AS isbn, sum(%7) AS copies, min(rowid) AS firstSale FROM %8"
            "       WHERE %11%9 <= %12 AND %11%9 >= %13 GROUP BY %6 ORDER BY firstSale) AS g"
            " JOIN %8 AS s ON s.rowid = g.firstSale"
            " ORDER BY g.isbn")
            .arg(name(QLatin1String(M::table)), n(M::A), n(M::B), n(M::C), n(S::Title), n(S::ISBN),
                 n(S::Qty), name(QLatin1String(S::table)), n(S::SoldDate))
            .arg(copiesText, datePrefix, parameter(1), parameter(2)),
        false};
}
