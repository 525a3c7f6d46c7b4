// One sale line: stock and sales row in a single transaction on one connection.
#include "salebooking.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"

namespace salebooking {

namespace {

void lowerStock(Connection &connection, const SaleLine &sale, const QVariant &quantity) {
    Statement update =
        connection.prepare(QStringLiteral("UPDATE Titles SET Qty = Qty - ? WHERE BOOKNO = ?"));
    update.bindAll({quantity, sale.bookNo});
    update.step();
    if (connection.changes() != 1)
        throw DataError(QStringLiteral("the title \"%1\" is no longer in the catalogue (it was "
                                       "deleted after it was looked up)")
                            .arg(sale.title));
}

void appendSale(Connection &connection, const SaleLine &sale, const QDate &day, const QTime &time,
                const QVariant &quantity) {
    Statement insert = connection.prepare(
        QStringLiteral("INSERT INTO soldbook (SoldDate, SoldTime, ISBN, Title, Price, Qty) "
                       "VALUES (?, ?, ?, ?, ?, ?)"));
    insert.bindAll(
        {conv::toStorage(ColumnKind::Date, day, QStringLiteral("SoldDate")),
         conv::toStorage(ColumnKind::Time, time, QStringLiteral("SoldTime")), sale.isbn, sale.title,
         conv::toStorage(ColumnKind::Money, sale.price, QStringLiteral("Price")), quantity});
    insert.step();
}

} // namespace

void book(Connection &connection, const SaleLine &sale, const QDate &day, const QTime &time) {
    try {
        const QVariant quantity =
            conv::toStorage(ColumnKind::Whole, sale.quantity, QStringLiteral("Qty"));
        Transaction transaction(connection);
        lowerStock(connection, sale, quantity);
        appendSale(connection, sale, day, time, quantity);
        transaction.commit();
    } catch (const DataError &error) {
        QString why = error.description();
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        throw DataError(QStringLiteral("The sale was not recorded and the stock was not "
                                       "changed: %1.\n\nPress OK to try again.")
                            .arg(why));
    }
}

} // namespace salebooking
