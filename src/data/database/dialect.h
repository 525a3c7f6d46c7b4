// The shop's query dialect: record-source texts with bracketed names, #2001/5/3# date
// literals, single-quoted text, val(), and bare table names, turned into SQLite SQL.
#pragma once

#include <QDate>
#include <QString>
#include <functional>

struct TranslatedQuery {
    QString sql;   // SQLite SQL; its first result column is the rowid of the row
    QString table; // the one table rows are written back to
};

namespace dialect {

// The name under which every connection knows the shop's text order (case ignored, accents
// beside their letters); an ORDER BY of a text column asks for it.
inline constexpr const char *textOrderCollation = "SHOPTEXT";

// Whether a column of a table holds text (asked with the names as the query writes them).
using IsTextColumn = std::function<bool(const QString &table, const QString &column)>;

// Throws DataError for a text that is not one of the dialect's forms. An ORDER BY of a
// column that `isTextColumn` names as text sorts in the shop's text order (case ignored,
// accents beside their letters); numbers, amounts, dates and times keep their own order.
TranslatedQuery translate(const QString &recordSourceText, const IsTextColumn &isTextColumn = {});

// Puts a value between single quotes for a query text, doubling embedded quotes, so that
// "O'Hara Books" stays one text and no typed text can change the query.
QString quote(const QString &value);

// A name between brackets, as the dialect and SQLite both read it: [Sold Date].
QString bracket(const QString &name);

// A date literal of the dialect for this day: #2001/5/3#.
QString dateLiteral(const QDate &date);

// The top sellers' summary (SqlDialect::topSellers) with an engine's own text of the copies
// (`copiesText` of g.copies) and a prefix for the sale date's column in the period's test.
QString topSellersSql(const QString &copiesText, const QString &datePrefix);

} // namespace dialect
