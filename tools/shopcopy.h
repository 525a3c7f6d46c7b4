// Copying a whole shop between a file and a PostgreSQL server, all or nothing, checked by the
// figures of every table (rows, keys, values per column and their sums) on both sides.
// The per-till scratch tables (tmp, tempPay) hold nothing that outlives a screen: they are not
// copied, and start empty on the other side.
#pragma once

#include "pgsession.h"

#include <QDate>
#include <QString>
#include <utility>
#include <vector>

namespace shopcopy {

// Rows copied per table, by the file's table names.
using Copied = std::vector<std::pair<QString, long long>>;

// Copies the file's rows into the server's empty tables in the transaction the caller has
// begun, keeping every row's key, and sets each numbering past the largest number used.
// Throws DataError (the caller rolls back) when a table holds rows already, when a value
// cannot be stored as it is, or when the server's figures differ from the file's.
Copied fillServer(pgtool::Session &db, const QString &file);

// fillServer() with the demo catalogue dated around `today`.
void fillServerWithDemo(pgtool::Session &db, const QDate &today);

// The whole move of a shop file to a server: in one transaction, makes the shop's schema
// there when the database has none of its tables (see shopserver::createSchema), or checks
// the tables it has, then fillServer(). Nothing is changed on the server when it fails.
Copied fileToServer(const QString &file, const QString &conninfo, const QString &locale);

// Writes the server's shop, as one moment of it, into a new file at `file`, which must not
// exist: made under another name in the same folder and renamed when complete and checked.
Copied serverToFile(const QString &conninfo, const QString &file);

} // namespace shopcopy
