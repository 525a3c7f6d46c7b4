// The values of a shop as they cross between the file and the server, the file's rows as
// COPY text, and the figures that check a copy: per table the rows, the sum of their keys, and per
// column how many values it holds and the sum of a number that stands for each value.
#pragma once

#include "sqlitefile.h"
#include "tabledescription.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string_view>
#include <vector>

namespace copyvalues {

using Sum = __int128;

// How many values a column holds and the sum of, per kind of column: the whole number itself,
// money in ten-thousandths, days from 2000-01-01, seconds from midnight, or characters.
struct ColumnFigure {
    long long values = 0;
    Sum sum = 0;
    bool operator==(const ColumnFigure &) const = default;
};

struct TableFigures {
    long long rows = 0;
    Sum keys = 0; // the sum of the rowids
    std::vector<ColumnFigure> columns;
    bool operator==(const TableFigures &) const = default;
};

// The number the digits of a text make, the point left out, negative after a leading '-':
// "-12.5000" is -125000.
Sum digitsOf(std::string_view text);

// Selects a table of the file: its rowid and columns, in rowid order.
QString fileRowsSql(const TableDescription &table);

// Appends the file's current row (of fileRowsSql) to `out` as one line in COPY's text format
// (the rowid first, unless the auto-number is the rowid) and counts it in `figures`. Throws
// DataError, naming the place, for a value the server's column cannot take as it is (text in
// a number column, a number out of range, a malformed date or time).
void appendFileRow(QByteArray &out, const SqliteStatement &row, const TableDescription &table,
                   TableFigures &figures);

// The figures of a table in the file.
TableFigures fileFigures(SqliteFile &file, const TableDescription &table);

// Binds one field of a COPY text line from the server (escapes still in it; "\N" is NULL) as
// parameter `index` of an insert into the file.
void bindServerValue(SqliteStatement &insert, int index, const char *field, int size,
                     ColumnKind kind);

// The SQL that gives a server table's figures as one row of texts: rows, keys, then two per
// column.
QString serverFiguresSql(const TableDescription &table);

// What differs between two tables' figures, in words; empty when nothing does.
QString differences(const TableDescription &table, const TableFigures &source,
                    const TableFigures &target);

} // namespace copyvalues
