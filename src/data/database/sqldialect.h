// What each engine's SQL looks like. The program builds its own statements from the table
// descriptions (sqlbuilder.h) and each engine's dialect renders them; the record sources' texts
// (the shop's query forms) and single statements typed as text are read as tokens
// (querytext.cpp) and rendered the same way. The few statements that differ in substance
// between engines (how a sale is booked, the top-sellers summary) are the dialect's too, so
// that no code outside the drivers asks which engine it talks to.
#pragma once

#include "tabledescription.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVariantList>
#include <vector>

namespace sqlb {
struct Statement;
}
class Connection;
struct ReceiptRecord;
struct StoredReceipt;
struct SessionOpening;
struct CashMovementRecord;
struct SessionClosing;
struct RefundRecord;
struct StoredRefund;
struct VoidRecord;
struct OrderedTitle;

// A statement as the engine takes it.
struct EngineSql {
    QString sql;
    // Whether it only reads, so that it may be sent again on a new connection.
    bool isRead = false;
};

// A record-source text as the engine runs it: the rowid of each row first, then its fields.
struct RecordSourceSql {
    EngineSql sql;
    QString table;              // the one table rows are written back to
    std::vector<Column> fields; // the columns after the rowid, as the table describes them
};

// A search of a table by the words typed into a box (the catalogue's "Do you have…?"): the
// rows whose `searched` columns hold every word, each word within one of them, case and
// accents aside (searchtext.h), and the rows whose `exact` column equals one of `exactValues`
// values. At most `limit` rows, taken as they come rather than after sorting every match,
// then put in the shop's text order of `order`.
struct WordSearch {
    const char *table = nullptr;
    std::vector<Column> shown;
    std::vector<Column> searched;
    Column order{};
    Column exact{};
    int exactValues = 0;
    int limit = 0;
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

// One statement of a sale: its engine's text and the values it binds, in order.
struct SaleStatement {
    EngineSql sql;
    std::vector<SaleValue> values;
};

class SqlDialect {
public:
    // What an engine spells its own way.
    struct Spelling {
        // Names in lower case between double quotes ("sold date"), as the engine keeps them;
        // otherwise between brackets as the shop writes them ([SoldDate]).
        bool lowerCaseNames = false;
        // '?' (numbered ?1, ?2 ...) or '$'.
        char parameterMark = '?';
        // The shop's text order, as an ORDER BY of a text column names it.
        QString collation;
        // total(x), which is 0.0 over no rows, as the engine writes it: around x.
        QString totalOpen, totalClose;
        // select * lists the table's described columns: the engine's tables carry hidden
        // ones, and a select * over anything but one described table is refused.
        bool listsColumns = false;
        // A record source ends in the order its rows were stored, which the engine does not
        // keep by itself.
        bool ordersByRowid = false;
        // PRAGMA statements are the engine's own.
        bool takesPragma = true;
        // Where statements run, as a refusal names it ("the shop server").
        QString runsOn;
    };

    explicit SqlDialect(Spelling spelling) : spelling_(std::move(spelling)) {}
    virtual ~SqlDialect() = default;

    const Spelling &spelling() const { return spelling_; }
    // A table's or column's name as the engine takes it.
    QString name(const QString &name) const;
    // The numbered parameter (from 1).
    QString parameter(int number) const;

    // The engine's text of a statement written as text in SQLite's form ([bracketed] names,
    // ? and ?N parameters, #2001/5/3# dates): one statement, or several for `several`
    // (run without results). Throws DataError for a text it cannot take. (querytext.cpp)
    EngineSql statement(const QString &text, bool several = false) const;
    // A record-source text: a table's name, or select (* or columns) from one table with
    // conditions joined by and, and an order. A condition may compare with a parameter ?1 to
    // ?`values`, which its caller binds. Throws DataError for any other text. (querytext.cpp)
    RecordSourceSql recordSource(const QString &text, int values = 0) const;
    // A statement the program built. (sqlbuilder.cpp)
    EngineSql render(const sqlb::Statement &statement) const;

    // The record-source query of a search for `words` words. It binds the `exactValues`
    // values, then wordValues() of the words. (wordsearch.cpp)
    RecordSourceSql wordSearch(const WordSearch &search, int words) const;
    // The values a search binds for its words (each folded, searchtext::words()).
    virtual QVariantList wordValues(const QStringList &words) const = 0;

    // The statements that book one sale, run in order in one transaction. The sale is booked
    // when each of them did its part: one that returns a row returns a true first value, one
    // that returns none changed exactly one row. Anything else means the title is gone.
    virtual const std::vector<SaleStatement> &bookSale() const = 0;

    // The statements that fill tmp with the top sellers of a period: each ISBN sold in it,
    // the title of its first sale row and its copies as the shortest text of the number,
    // in ISBN order. Those before the last take no values; the last binds the period's last
    // day, then its first (stored dates).
    virtual const std::vector<EngineSql> &topSellers() const = 0;

    // Stores a receipt as its till made it, in the caller's transaction, each part at most
    // once: the header (numbered by the till when it is new), every line not stored yet with
    // its sale row and stock change, every payment and the rounding not stored yet; the
    // receipt is marked paid when its payments settle its total. A part already stored is
    // left as it is, by the unique keys, so that storing the same receipt again changes
    // nothing. Throws DataError when a part is refused (a title gone, a method out of use,
    // more paid than due, a receipt of another till).
    virtual StoredReceipt storeReceipt(Connection &connection,
                                       const ReceiptRecord &receipt) const = 0;
    // The till this connection sells at: its number, name and prefix, one row or none.
    virtual const EngineSql &thisTill() const = 0;

    // The work of a till's session, each in the caller's transaction and whole or not at
    // all, each refused with a DataError whose sentence says why (tillsessions.h, refunds.h,
    // voids.h). Those with an identifier made on the till change nothing when sent again.
    // Opens a session on this connection's till; returns its number.
    virtual qint64 openSession(Connection &connection, const SessionOpening &opening) const = 0;
    virtual void moveCash(Connection &connection, const CashMovementRecord &movement) const = 0;
    // Closes the session and stores its Z report from the closing's counts.
    virtual void closeSession(Connection &connection, const SessionClosing &closing) const = 0;
    virtual StoredRefund storeRefund(Connection &connection, const RefundRecord &refund) const = 0;
    virtual void storeVoid(Connection &connection, const VoidRecord &voidRecord) const = 0;
    // A receipt a till made while the shop could not be reached, stored now in the caller's
    // transaction: records the till's own number of it and when the shop received it (`at` on
    // a file; a server takes its own time). Recorded once: a receipt sent again changes nothing.
    virtual void receiptReceived(Connection &connection, const QString &receipt, qint64 tillNumber,
                                 const QDateTime &at) const = 0;
    // A receipt of this till that the shop refused for good: kept once, with the reason and the
    // receipt as the till made it (`made`), for the back office.
    virtual void receiptRefused(Connection &connection, const QString &receipt,
                                const QString &reason, const QString &made,
                                const QDateTime &at) const = 0;
    // Records that an X report of the session was opened now by this login.
    virtual void recordXReport(Connection &connection, qint64 session,
                               const QDateTime &at) const = 0;
    // The login this connection works as, as the shop records who did what.
    virtual QString login(Connection &connection) const = 0;
    // Adds a title a customer ordered that the catalogue does not hold, in the caller's
    // transaction: no stock, a safe quantity of 0, the order's price as its prices. A till may
    // add a title this way only. Returns its BOOKNO.
    virtual qint64 addOrderedTitle(Connection &connection, const OrderedTitle &title) const = 0;
    // The figures of a session so far; each binds the session. The totals, one row: receipts,
    // sales, voids, voided, refunds, refunded, rounding, cash in, cash out. The methods, a row
    // each, cash first, then card, then the others by name: method, name, kind, taken,
    // refunded, expected.
    virtual const EngineSql &sessionTotals() const = 0;
    virtual const EngineSql &sessionMethods() const = 0;

protected:
    // The test that a row holds `words` words, each within one of the columns (their names as
    // the engine takes them), the first word's value bound as parameter `first`.
    virtual QString wordCondition(const QStringList &columns, int first, int words) const = 0;
    // The top sellers' summary in the engine's SQL, with its own text of the copies
    // (`copiesText` of g.copies) and a prefix for the sale date's column in the period's test.
    EngineSql topSellersSql(const QString &copiesText, const QString &datePrefix) const;

private:
    Spelling spelling_;
};
