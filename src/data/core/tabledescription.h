// What code knows of a table's column: its name, its place in the table and its kind. The
// shop's tables themselves are described in shoptables.h, generated from db/schema.sql.
#pragma once

#include "conversions.h"

#include <QString>
#include <QStringList>
#include <span>

struct Column {
    const char *name;
    int position; // 0-based, in the table's fixed column order
    ColumnKind kind;

    // The name as record sets and grids take it ("Invoice No").
    operator QString() const { return QString::fromLatin1(name); }
    // The name as SQL takes it, bracketed ("[Invoice No]").
    QString sql() const { return QLatin1Char('[') + QLatin1String(name) + QLatin1Char(']'); }
};

struct IndexDescription {
    const char *name;
    std::span<const Column> columns;
};

struct TableDescription {
    const char *name;
    std::span<const Column> columns;
    const Column *autoNumber = nullptr; // numbers new rows, and is their row id; or none
    bool scratch = false; // one till's working rows (tmp, tempPay): never copied or kept
    std::span<const IndexDescription> indexes = {};
};

// The names of these columns in their order: a grid that shows a whole table.
inline QStringList columnNames(std::span<const Column> columns) {
    QStringList names;
    for (const Column &column : columns)
        names << column;
    return names;
}

// Record-source texts in the shop's query dialect, naming tables and columns through their
// descriptions. "select * from Titles", then `rest` (" where ...", " order by ...").
inline QString selectAll(const char *table, const QString &rest = {}) {
    return QStringLiteral("select * from ") + QLatin1String(table) + rest;
}
// "select [BOOKNO],[ISBN],... from Titles": these columns in their order, then `rest`.
inline QString selectColumns(const char *table, std::span<const Column> columns,
                             const QString &rest = {}) {
    QStringList names;
    for (const Column &column : columns)
        names << column.sql();
    return QStringLiteral("select ") + names.join(QLatin1Char(',')) + QStringLiteral(" from ") +
           QLatin1String(table) + rest;
}
// A text as the dialect writes it, between single quotes with embedded quotes doubled, so
// that "O'Hara Books" stays one text and no typed text can change the query.
inline QString textLiteral(QString value) {
    value.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}
// A day as the dialect writes it: #2001/5/3#.
inline QString dateLiteral(const QDate &date) {
    return QLatin1Char('#') + conv::dateText(date) + QLatin1Char('#');
}
// " where [ISBN]='x'": `literal` is a value as the dialect writes it ('x', 12, #2001/5/3#).
inline QString whereEqual(const Column &column, const QString &literal) {
    return QStringLiteral(" where ") + column.sql() + QLatin1Char('=') + literal;
}
// " order by [Title]"
inline QString orderBy(const Column &column) {
    return QStringLiteral(" order by ") + column.sql();
}
