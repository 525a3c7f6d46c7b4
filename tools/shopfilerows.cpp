// The shop file's tables as COPY text and as figures.
#include "shopfilerows.h"

#include <QStringList>

namespace shopfilerows {

QString selectSql(const TableDescription &table) {
    QStringList names{"rowid"};
    for (const Column &column : table.columns)
        names << column.sql();
    return QString("SELECT %1 FROM [%2] ORDER BY rowid").arg(names.join(", "), table.name);
}

void appendRow(QByteArray &out, const SqliteStatement &row, const TableDescription &table,
               copyvalues::TableFigures &figures) {
    const long long rowid = row.whole(0);
    ++figures.rows;
    figures.keys += rowid;
    figures.columns.resize(table.columns.size());
    if (table.autoNumber == nullptr) {
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

copyvalues::TableFigures figures(SqliteFile &file, const TableDescription &table) {
    copyvalues::TableFigures result;
    result.columns.resize(table.columns.size());
    SqliteStatement select(file, selectSql(table));
    QByteArray scratch;
    while (select.step()) {
        scratch.clear();
        appendRow(scratch, select, table, result);
    }
    return result;
}

} // namespace shopfilerows
