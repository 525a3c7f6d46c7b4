// SQLite's dialect: the program's statements are written in its form; a sale is two
// statements.
#include "sqlitedialect.h"

#include "connection.h"
#include "filereceipts.h"
#include "filetill.h"
#include "orderrecords.h"
#include "systemuser.h"

#include "shoptables.h"
#include "sqlbuilder.h"
#include "sqldialect.h"
#include "textorder.h"
#include "wordmatch.h"

namespace {

class FileDialect : public SqlDialect {
public:
    FileDialect()
        : SqlDialect({.collation = QLatin1String(TextOrder::collationName),
                      .totalOpen = QStringLiteral("total("),
                      .totalClose = QStringLiteral(")"),
                      .runsOn = QStringLiteral("the shop file")}) {}

    // The title's stock goes down by the copies sold, and the sale row is written.
    const std::vector<SaleStatement> &bookSale() const override {
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
    const std::vector<EngineSql> &topSellers() const override {
        static const std::vector<EngineSql> statements{topSellersSql(
            QStringLiteral("printf('%.15g', coalesce(g.copies, 0))"), QStringLiteral("+"))};
        return statements;
    }

    StoredReceipt storeReceipt(Connection &connection,
                               const ReceiptRecord &receipt) const override {
        return filereceipts::store(connection, receipt);
    }

    qint64 openSession(Connection &connection, const SessionOpening &opening) const override {
        return filetill::openSession(connection, opening);
    }
    void moveCash(Connection &connection, const CashMovementRecord &movement) const override {
        filetill::moveCash(connection, movement);
    }
    void closeSession(Connection &connection, const SessionClosing &closing) const override {
        filetill::closeSession(connection, closing);
    }
    StoredRefund storeRefund(Connection &connection, const RefundRecord &refund) const override {
        return filetill::storeRefund(connection, refund);
    }
    void storeVoid(Connection &connection, const VoidRecord &voidRecord) const override {
        filetill::storeVoid(connection, voidRecord);
    }

    void receiptReceived(Connection &connection, const QString &receipt, qint64 tillNumber,
                         const QDateTime &at) const override {
        filetill::receiptReceived(connection, receipt, tillNumber, at);
    }
    void receiptRefused(Connection &connection, const QString &receipt, const QString &reason,
                        const QString &made, const QDateTime &at) const override {
        filetill::receiptRefused(connection, receipt, reason, made, at);
    }

    void recordXReport(Connection &connection, qint64 session, const QDateTime &at) const override {
        filetill::recordXReport(connection, session, at);
    }
    const EngineSql &sessionTotals() const override {
        static const EngineSql sql = statement(filetill::totalsSql());
        return sql;
    }
    const EngineSql &sessionMethods() const override {
        static const EngineSql sql = statement(filetill::methodsSql());
        return sql;
    }

    QString login(Connection &) const override { return systemUser(); }
    qint64 addOrderedTitle(Connection &connection, const OrderedTitle &title) const override {
        Statement insert = connection.prepare(QStringLiteral(
            "INSERT INTO [Titles] ([ISBN], [Title], [Author], [Publisher], [Fixed Price], "
            "[Sale Price], [Qty], [SafeQty], [Retail]) VALUES (?1, ?2, nullif(?3, ''), "
            "nullif(?4, ''), ?5, ?5, 0, 0, nullif(?6, ''))"));
        insert.bindAll({title.isbn, title.title, title.author, title.publisher,
                        title.price.toDouble(), title.supplier});
        insert.step();
        return connection.scalar(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    }

    // The file is one till: the first registered.
    const EngineSql &thisTill() const override {
        static const EngineSql sql = statement(
            QStringLiteral("SELECT [Till], [Name], [Prefix] FROM [tills] ORDER BY [Till] LIMIT 1"));
        return sql;
    }

    // All the words in one value, so that each row is tested by one call.
    QVariantList wordValues(const QStringList &words) const override {
        return {words.join(QLatin1Char(wordmatch::separator))};
    }

protected:
    QString wordCondition(const QStringList &columns, int first, int) const override {
        return QStringLiteral("%1(%2, %3)")
            .arg(QLatin1String(wordmatch::functionName), parameter(first),
                 columns.join(QStringLiteral(", ")));
    }
};

} // namespace

const SqlDialect &engines::fileDialect() {
    static const FileDialect dialect;
    return dialect;
}
