// The shop file's tables as COPY text and as figures.
#include "shopfilerows.h"

#include <QStringList>

namespace shopfilerows {

QString selectSql(const ServerTable &table) {
    QStringList names{"rowid"};
    for (const ServerColumn &column : table.columns)
        names << QString("[%1]").arg(column.fileName);
    return QString("SELECT %1 FROM [%2] ORDER BY rowid").arg(names.join(", "), table.fileName);
}

void appendRow(QByteArray &out, sqlite3_stmt *row, const ServerTable &table,
               copyvalues::TableFigures &figures) {
    const long long rowid = sqlite3_column_int64(row, 0);
    ++figures.rows;
    figures.keys += rowid;
    figures.columns.resize(table.columns.size());
    if (!*table.autoNumber) {
        out.append(QByteArray::number(rowid));
        out.append('\t');
    }
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (i > 0)
            out.append('\t');
        copyvalues::appendFileValue(out, row, int(i) + 1, {table, rowid, table.columns[i]},
                                    figures.columns[i]);
    }
    out.append('\n');
}

copyvalues::TableFigures figures(SqliteFile &file, const ServerTable &table) {
    copyvalues::TableFigures result;
    result.columns.resize(table.columns.size());
    SqliteStatement select(file, selectSql(table));
    QByteArray scratch;
    while (select.step()) {
        scratch.clear();
        appendRow(scratch, select.raw(), table, result);
    }
    return result;
}

} // namespace shopfilerows
