// Every row of the shop's ten tables as text, in the order of their rows, for comparing a
// shop before and after work that must not change a row of them (an upgrade); and the
// number of rows and the sum of each number column, which say the same more shortly. The
// same of the tables the steps up to a version brought.
#pragma once

#include "connection.h"
#include "shopsteps.h"
#include "shoptables.h"
#include "stepdescription.h"

#include <QStringList>
#include <string_view>

inline QStringList tableFingerprint(Connection &db, const TableDescription &table) {
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
    QStringList lines{line.join('|')};
    Statement rows = db.prepare(QStringLiteral("SELECT %1 FROM [%2] ORDER BY rowid")
                                    .arg(columns.join(", "), table.name));
    while (rows.step()) {
        QStringList values;
        for (int i = 0; i < rows.columnCount(); ++i)
            values << rows.value(i).toString();
        lines << values.join('|');
    }
    return lines;
}

inline QStringList tenTablesFingerprint(Connection &db) {
    QStringList lines;
    for (const TableDescription &table : tables::all)
        lines << tableFingerprint(db, table);
    return lines;
}

// The rows of the tables the steps made up to `version`, but the shop's record of its version,
// which an upgrade writes.
inline QStringList stepTablesFingerprint(Connection &db, std::span<const StepDescription> steps,
                                         int version) {
    QStringList lines;
    for (const StepDescription &step : steps)
        if (step.version <= version)
            for (const StepTable &table : step.tables)
                if (table.table->name != std::string_view(tables::shopversion::table) &&
                    table.table->name != std::string_view(tables::shopupgrades::table))
                    lines << tableFingerprint(db, *table.table);
    return lines;
}

// A paid receipt of version 3's tables, stored as that version's program left it (its till
// the shop's first), for an upgrade to keep.
inline void storeVersion3Receipt(Connection &db) {
    const QString receipt = QStringLiteral("'00000000-0000-4000-8000-00000000beef'");
    db.exec(QStringLiteral("INSERT INTO [tills] ([Name], [Prefix]) SELECT 'Till 1', 'A' WHERE NOT "
                           "EXISTS (SELECT 1 FROM [tills])"));
    db.exec(QStringLiteral("INSERT INTO [paymentmethods] ([Name], [Kind]) SELECT 'Cash', 'cash' "
                           "WHERE NOT EXISTS (SELECT 1 FROM [paymentmethods])"));
    db.exec(QStringLiteral("INSERT INTO [receipts] ([Receipt], [Till], [Number], [Readable], "
                           "[Opened], [Paid], [Login]) SELECT %1, min([Till]), 7, 'Z7', "
                           "'2026-03-13 10:00:00', '2026-03-13 10:01:00', 'ann' FROM [tills]")
                .arg(receipt));
    db.exec(QStringLiteral("INSERT INTO [receiptlines] ([Receipt], [Line], [BOOKNO], [ISBN], "
                           "[Title], [Price], [Qty], [SoldDate], [SoldTime]) VALUES (%1, 1, 1, "
                           "'111', 'Short', 12.5, 2, '2026-03-13', '10:00:00')")
                .arg(receipt));
    db.exec(QStringLiteral("INSERT INTO [payments] ([Receipt], [Payment], [Method], [Amount], "
                           "[Tendered], [Given], [PaidAt]) SELECT %1, 1, min([Method]), 25, 30, "
                           "5, '2026-03-13 10:01:00' FROM [paymentmethods]")
                .arg(receipt));
}
