// Every row of the shop's ten tables as text, in the order of their rows, for comparing a
// shop before and after work that must not change a row of them (an upgrade); and the
// number of rows and the sum of each number column, which say the same more shortly.
#pragma once

#include "connection.h"
#include "shoptables.h"

#include <QStringList>

inline QStringList tenTablesFingerprint(Connection &db) {
    QStringList lines;
    for (const TableDescription &table : tables::all) {
        QStringList columns, sums;
        for (const Column &column : table.columns) {
            columns << QStringLiteral("[%1]").arg(QLatin1String(column.name));
            if (isNumberKind(column.kind))
                sums << QStringLiteral("sum([%1])").arg(QLatin1String(column.name));
        }
        sums << QStringLiteral("count(*)");
        Statement totals =
            db.prepare(QStringLiteral("SELECT %1 FROM [%2]").arg(sums.join(", "), table.name));
        totals.step();
        QStringList line{QLatin1String(table.name)};
        for (int i = 0; i < totals.columnCount(); ++i)
            line << QString::number(totals.value(i).toDouble(), 'f', 4);
        lines << line.join('|');
        Statement rows = db.prepare(QStringLiteral("SELECT %1 FROM [%2] ORDER BY rowid")
                                        .arg(columns.join(", "), table.name));
        while (rows.step()) {
            QStringList values;
            for (int i = 0; i < rows.columnCount(); ++i)
                values << rows.value(i).toString();
            lines << values.join('|');
        }
    }
    return lines;
}
