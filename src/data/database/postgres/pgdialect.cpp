// PostgreSQL's dialect: statements translated from the program's form; a sale is one call
// of the sale's own function.
#include "pgdialect.h"

#include "dialect.h"
#include "serverroles.h"
#include "serversql.h"
#include "sqldialect.h"

namespace {

class ServerDialect : public SqlDialect {
public:
    EngineSql statement(const QString &text) const override {
        return serversql::translateOnce(text);
    }

    // A till may change stock and add sale rows only through the sale's function, which
    // does both as the shop's owner after checking what it is given. The price goes as its
    // exact decimal text: the server's numeric takes it as it is.
    const std::vector<SaleStatement> &bookSale() const override {
        using V = SaleValue;
        static const std::vector<SaleStatement> statements{
            {QStringLiteral("SELECT %1(CAST(? AS integer), CAST(? AS integer), "
                            "CAST(? AS numeric), CAST(? AS date), CAST(? AS time))")
                 .arg(QLatin1String(serverroles::kBookSale)),
             {V::BookNo, V::Quantity, V::PriceText, V::Day, V::Time}}};
        return statements;
    }

    // The copies as the shortest text of the number through a cast.
    QString topSellers() const override {
        return dialect::topSellersSql(QStringLiteral("coalesce(g.copies, 0)::text"), QString());
    }
};

} // namespace

const SqlDialect &engines::serverDialect() {
    static const ServerDialect dialect;
    return dialect;
}
