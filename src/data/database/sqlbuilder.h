// The program's own statements, built from the table descriptions (or a record set's fields)
// rather than written as text, so that each engine's dialect renders them in its own SQL:
// names, parameters, the row id. Only what the program's statements need:
//   insert(table, columns).returningRowid()           VALUES (?, ...) or DEFAULT VALUES
//   insertSelect(into, columns, from, fromColumns).whereRowid()
//   update(table).set(a).add(b).subtract(c).where(d) | .whereRowid()
//   remove(table) [.whereRowid() [.returning(columns)]]
//   select(table, columns) | moneyTotal(table, price, copies)
//       .where(column, Compare) | .whereRowid() [.orderBy(column)] [.limitTo(n)]
// Every value is a parameter, bound in the order the statement names them.
#pragma once

#include <QString>
#include <QStringList>

namespace sqlb {

enum class Compare { Equal, AtLeast, Between };

struct Statement {
    enum class Verb { Insert, Update, Delete, Select };
    Verb verb = Verb::Select;
    QString table{};
    // INSERT's, SELECT's or UPDATE's columns; for a SELECT of a money total, the price and
    // the copies.
    QStringList columns{};
    // UPDATE: for each column, '=' sets it, '+' and '-' add to and take from what is stored.
    QString changes{};
    // INSERT ... SELECT: these columns of the table `from`, then a value to bind for each
    // column of the INSERT left over.
    QString from{};
    QStringList fromColumns{};
    bool moneyTotal = false; // SELECT the exact sum of price x copies, as text
    QString whereColumn{};   // a column, or rowid
    Compare compare = Compare::Equal;
    QString order{};
    int limit = 0;
    QStringList returns{}; // rowid among them for the row id

    Statement &set(const QString &column) { return change(column, u'='); }
    Statement &add(const QString &column) { return change(column, u'+'); }
    Statement &subtract(const QString &column) { return change(column, u'-'); }
    Statement &whereRowid() { return where(QStringLiteral("rowid")); }
    Statement &where(const QString &column, Compare how = Compare::Equal) {
        whereColumn = column;
        compare = how;
        return *this;
    }
    Statement &orderBy(const QString &column) {
        order = column;
        return *this;
    }
    Statement &limitTo(int rows) {
        limit = rows;
        return *this;
    }
    Statement &returningRowid() { return returning({QStringLiteral("rowid")}); }
    Statement &returning(const QStringList &names) {
        returns = names;
        return *this;
    }

    friend bool operator==(const Statement &, const Statement &) = default;

private:
    Statement &change(const QString &column, QChar how) {
        columns << column;
        changes += how;
        return *this;
    }
};

inline Statement insert(const QString &table, const QStringList &columns) {
    return {.verb = Statement::Verb::Insert, .table = table, .columns = columns};
}
inline Statement insertSelect(const QString &into, const QStringList &columns, const QString &from,
                              const QStringList &fromColumns) {
    Statement statement = insert(into, columns);
    statement.from = from;
    statement.fromColumns = fromColumns;
    return statement;
}
inline Statement update(const QString &table) {
    return {.verb = Statement::Verb::Update, .table = table};
}
inline Statement remove(const QString &table) {
    return {.verb = Statement::Verb::Delete, .table = table};
}
inline Statement select(const QString &table, const QStringList &columns) {
    return {.verb = Statement::Verb::Select, .table = table, .columns = columns};
}
// The sum of price x copies over the rows, exact to the ten-thousandth (each price taken as a
// whole count of ten-thousandths) and given as the text of that count: 0 over no rows, and a
// row lacking either value adds nothing.
inline Statement moneyTotal(const QString &table, const QString &price, const QString &copies) {
    Statement statement = select(table, {price, copies});
    statement.moneyTotal = true;
    return statement;
}

} // namespace sqlb
