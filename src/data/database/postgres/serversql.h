// The shop's SQL, written in SQLite's form, as PostgreSQL takes it. On the server every
// name is lower case; the ten tables carry a hidden key column, rowid, last.
#pragma once

#include <QHash>
#include <QString>

struct ServerSql {
    QString sql;
    // Result names as the query wrote them, by their lower-case form: PostgreSQL hands
    // names back in lower case, the record sets and grids show them as written.
    QHash<QString, QString> names;
    // A PRAGMA table_info, answered from the server's catalogue: its column "name" holds
    // column names, which are given back as the shop's schema writes them.
    bool columnList = false;
};

namespace serversql {

// Translates: [Bracketed] and "quoted" names to lower-case quoted names; ?, ?N to $N;
// "select *" of one of the ten tables to its columns (the hidden ones left out); a
// record-source query without an order to the order the rows were stored in; SQLite's
// total(), ifnull() and PRAGMA table_info() to the server's equivalents.
ServerSql translate(const QString &sqliteSql);

// The same, remembered: a till sends the same few statements over and over (a sale's update
// and insert), which are translated once per thread.
const ServerSql &translateOnce(const QString &sqliteSql);

// The shop's own spelling of a column or table name, from its lower-case form (the name
// itself when it is none of the shop's).
QString shopName(const QString &lowerCase);

} // namespace serversql
