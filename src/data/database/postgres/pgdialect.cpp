// PostgreSQL's dialect: names in lower case, $N parameters, the hidden row id and till
// columns left out of select *, rows in the order they were stored; a sale is one call of
// the sale's own function.
#include "pgdialect.h"

#include "serverroles.h"
#include "shoptables.h"
#include "sqldialect.h"

namespace {

class ServerDialect : public SqlDialect {
public:
    ServerDialect()
        : SqlDialect({.lowerCaseNames = true,
                      .parameterMark = '$',
                      .collation = QStringLiteral("\"shoptext\""),
                      .totalOpen = QStringLiteral("coalesce(sum("),
                      .totalClose = QStringLiteral("), 0)::float8"),
                      .listsColumns = true,
                      .ordersByRowid = true,
                      .takesPragma = false,
                      .runsOn = QStringLiteral("the shop server")}) {}

    // A till may change stock and add sale rows only through the sale's function, which
    // does both as the shop's owner after checking what it is given. The price goes as its
    // exact decimal text: the server's numeric takes it as it is.
    const std::vector<SaleStatement> &bookSale() const override {
        using V = SaleValue;
        static const std::vector<SaleStatement> statements{
            {EngineSql{QStringLiteral("SELECT %1($1::integer, $2::integer, $3::numeric, "
                                      "$4::date, $5::time)")
                           .arg(QLatin1String(serverroles::kBookSale)),
                       {},
                       false},
             {V::BookNo, V::Quantity, V::PriceText, V::Day, V::Time}}};
        return statements;
    }

    // The copies as the shortest text of the number through a cast. For this transaction
    // only, the grouping of a year's sales by ISBN (some 100,000 of them) and its two sorts
    // get the memory they need rather than spilling to disk, and each ISBN's first sale row
    // is fetched by its row id, as on the file: the planner, expecting far fewer ISBNs,
    // would otherwise walk the whole table's key index to join them.
    const std::vector<EngineSql> &topSellers() const override {
        static const std::vector<EngineSql> statements{
            EngineSql{QStringLiteral("SET LOCAL work_mem = '16MB'; SET LOCAL enable_mergejoin = "
                                     "off; SET LOCAL enable_hashjoin = off"),
                      {},
                      false},
            topSellersSql(QStringLiteral("coalesce(g.copies, 0)::text"), QString())};
        return statements;
    }
};

} // namespace

const SqlDialect &engines::serverDialect() {
    static const ServerDialect dialect;
    return dialect;
}

QString engines::shopSpelling(const QString &lowerCase) {
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> all;
        for (const TableDescription &description : tables::all) {
            all.insert(QString::fromLatin1(description.name).toLower(),
                       QString::fromLatin1(description.name));
            for (const Column &column : description.columns)
                all.insert(QString::fromLatin1(column.name).toLower(),
                           QString::fromLatin1(column.name));
        }
        return all;
    }();
    return names.value(lowerCase, lowerCase);
}
