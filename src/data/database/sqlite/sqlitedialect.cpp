// SQLite's dialect: statements go as they are written; a sale is two statements.
#include "sqlitedialect.h"

#include "dialect.h"
#include "shoptables.h"
#include "sqldialect.h"

namespace {

class FileDialect : public SqlDialect {
public:
    EngineSql statement(const QString &text) const override { return EngineSql{text, {}, false}; }

    // The title's stock goes down by the copies sold, and the sale row is written.
    const std::vector<SaleStatement> &bookSale() const override {
        namespace T = tables::Titles;
        namespace S = tables::soldbook;
        using V = SaleValue;
        static const std::vector<SaleStatement> statements{
            {QStringLiteral("UPDATE %1 SET %2 = %2 - ? WHERE %3 = ?")
                 .arg(T::table, T::Qty.sql(), T::BOOKNO.sql()),
             {V::Quantity, V::BookNo}},
            {QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6, %7) VALUES (?, ?, ?, ?, ?, ?)")
                 .arg(S::table, S::SoldDate.sql(), S::SoldTime.sql(), S::ISBN.sql(), S::Title.sql(),
                      S::Price.sql(), S::Qty.sql()),
             {V::Day, V::Time, V::Isbn, V::Title, V::Price, V::Quantity}}};
        return statements;
    }

    // The copies as the shortest text of the number through printf; the unary + keeps SQLite
    // from walking the date index instead, which would visit the table for every sale of the
    // period.
    QString topSellers() const override {
        return dialect::topSellersSql(QStringLiteral("printf('%.15g', coalesce(g.copies, 0))"),
                                      QStringLiteral("+"));
    }
};

} // namespace

const SqlDialect &engines::fileDialect() {
    static const FileDialect dialect;
    return dialect;
}
