// The shop's SQL, written in SQLite's form, as PostgreSQL takes it. On the server every
// name is lower case; the ten tables carry a hidden key column, rowid, last.
#pragma once

#include "sqldialect.h"

#include <QString>

namespace serversql {

// Translates: [Bracketed] and "quoted" names to lower-case quoted names; ?, ?N to $N;
// "select *" of one of the ten tables to its columns (the hidden ones left out); a
// record-source query without an order to the order the rows were stored in; SQLite's
// total() and ifnull() to the server's equivalents. Result names as the query wrote them
// are kept by their lower-case form: PostgreSQL hands names back in lower case.
EngineSql translate(const QString &sqliteSql);

// The same, remembered: a till sends the same few statements over and over (a sale's update
// and insert), which are translated once per thread.
const EngineSql &translateOnce(const QString &sqliteSql);

// The shop's own spelling of a column or table name, from its lower-case form (the name
// itself when it is none of the shop's).
QString shopName(const QString &lowerCase);

} // namespace serversql
