// Reading a table of the shop file row by row as COPY text for the server, with its figures.
#pragma once

#include "copyvalues.h"
#include "sqlitefile.h"

namespace shopfilerows {

// Selects the table's rowid and columns in rowid order.
QString selectSql(const ServerTable &table);

// Appends the statement's current row to `out` as one COPY line (the rowid first, unless the
// auto-number is the rowid) and counts it in `figures`. Throws DataError for a value the
// server cannot take.
void appendRow(QByteArray &out, sqlite3_stmt *row, const ServerTable &table,
               copyvalues::TableFigures &figures);

// The figures of the table in the file.
copyvalues::TableFigures figures(SqliteFile &file, const ServerTable &table);

} // namespace shopfilerows
