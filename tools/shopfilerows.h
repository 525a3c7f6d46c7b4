// Reading a table of the shop file row by row as COPY text for the server, with its figures.
#pragma once

#include "copyvalues.h"

namespace shopfilerows {

// Selects the table's rowid and columns in rowid order.
QString selectSql(const TableDescription &table);

// Appends the statement's current row to `out` as one COPY line (the rowid first, unless the
// auto-number is the rowid) and counts it in `figures`. Throws DataError for a value the
// server cannot take.
void appendRow(QByteArray &out, const SqliteStatement &row, const TableDescription &table,
               copyvalues::TableFigures &figures);

// The figures of the table in the file.
copyvalues::TableFigures figures(SqliteFile &file, const TableDescription &table);

} // namespace shopfilerows
