// What each engine's SQL looks like: the program writes its statements in one form (today
// SQLite's: [bracketed] names, ? parameters) and the engine's dialect gives the text the
// engine runs. The few statements that differ in substance between engines (how a sale is
// booked, the top-sellers summary) are the dialect's too, so that no code outside the
// drivers asks which engine it talks to.
#pragma once

#include <QHash>
#include <QString>
#include <vector>

// A statement as the engine takes it.
struct EngineSql {
    QString sql;
    // Result names as the statement wrote them, by the form the engine hands back (a server
    // gives names in lower case; the record sets and grids show them as written).
    QHash<QString, QString> names;
    // Whether it only reads, so that it may be sent again on a new connection.
    bool isRead = false;
};

// A value of the sale being booked, as a statement of bookSale() takes it.
enum class SaleValue {
    BookNo,
    Quantity,
    Price,     // the sale price as the shop file stores an amount (a number)
    PriceText, // the same price as its exact decimal text
    Day,       // stored date
    Time,      // stored time
    Isbn,
    Title,
};

// One statement of a sale: its text (in the program's form) and the values it binds, in
// order.
struct SaleStatement {
    QString sql;
    std::vector<SaleValue> values;
};

class SqlDialect {
public:
    virtual ~SqlDialect() = default;

    // The engine's text of one statement (or several, for exec) written in the program's
    // form. Throws DataError for a text it cannot take.
    virtual EngineSql statement(const QString &text) const = 0;

    // The statements that book one sale, run in order in one transaction. The sale is booked
    // when each of them did its part: one that returns a row returns a true first value, one
    // that returns none changed exactly one row. Anything else means the title is gone.
    virtual const std::vector<SaleStatement> &bookSale() const = 0;

    // The statement that fills tmp with the top sellers of a period: each ISBN sold in it,
    // the title of its first sale row and its copies as the shortest text of the number,
    // in ISBN order. It binds the period's last day, then its first (stored dates).
    virtual QString topSellers() const = 0;
};
