// SQLite's dialect: the program's statements are written in its form; a sale is two
// statements.
#include "sqlitedialect.h"

#include "connection.h"
#include "filetill.h"
#include "orderrecords.h"
#include "systemuser.h"

#include "shoptables.h"
#include "sqlbuilder.h"
#include "textorder.h"
#include "wordmatch.h"

namespace filetill {

FileDialect::FileDialect()
    : SqlDialect({.collation = QLatin1String(TextOrder::collationName),
                  .totalOpen = QStringLiteral("total("),
                  .totalClose = QStringLiteral(")"),
                  .runsOn = QStringLiteral("the shop file")}) {}

// The title's stock goes down by the copies sold, and the sale row is written.
const std::vector<SaleStatement> &FileDialect::bookSale() const {
    namespace T = tables::Titles;
    namespace S = tables::soldbook;
    using V = SaleValue;
    static const std::vector<SaleStatement> statements{
        {render(sqlb::update(T::table).subtract(T::Qty).where(T::BOOKNO)),
         {V::Quantity, V::BookNo}},
        {render(sqlb::insert(S::table,
                             {S::SoldDate, S::SoldTime, S::ISBN, S::Title, S::Price, S::Qty})),
         {V::Day, V::Time, V::Isbn, V::Title, V::Price, V::Quantity}}};
    return statements;
}

// The copies as the shortest text of the number through printf; the unary + keeps SQLite
// from walking the date index instead, which would visit the table for every sale of the
// period.
const std::vector<EngineSql> &FileDialect::topSellers() const {
    static const std::vector<EngineSql> statements{topSellersSql(
        QStringLiteral("printf('%.15g', coalesce(g.copies, 0))"), QStringLiteral("+"))};
    return statements;
}

const EngineSql &FileDialect::sessionTotals() const {
    static const EngineSql sql = statement(totalsSql());
    return sql;
}

const EngineSql &FileDialect::sessionMethods() const {
    static const EngineSql sql = statement(methodsSql());
    return sql;
}

QString FileDialect::login(Connection &) const {
    return systemUser();
}

qint64 FileDialect::addOrderedTitle(Connection &connection, const OrderedTitle &title) const {
    connection.write(
        QStringLiteral(
            "INSERT INTO [Titles] ([ISBN], [Title], [Author], [Publisher], [Fixed Price], "
            "[Sale Price], [Qty], [SafeQty], [Retail]) VALUES (?1, ?2, nullif(?3, ''), "
            "nullif(?4, ''), ?5, ?5, 0, 0, nullif(?6, ''))"),
        {title.isbn, title.title, title.author, title.publisher, title.price.toDouble(),
         title.supplier});
    return connection.scalar(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
}

// The file is one till: the first registered.
const EngineSql &FileDialect::thisTill() const {
    static const EngineSql sql = statement(
        QStringLiteral("SELECT [Till], [Name], [Prefix] FROM [tills] ORDER BY [Till] LIMIT 1"));
    return sql;
}

// All the words in one value, so that each row is tested by one call.
QVariantList FileDialect::wordValues(const QStringList &words) const {
    return {words.join(QLatin1Char(wordmatch::separator))};
}

QString FileDialect::wordCondition(const QStringList &columns, int first, int) const {
    return QStringLiteral("%1(%2, %3)")
        .arg(QLatin1String(wordmatch::functionName), parameter(first),
             columns.join(QStringLiteral(", ")));
}

} // namespace filetill

const SqlDialect &engines::fileDialect() {
    static const filetill::FileDialect dialect;
    return dialect;
}
