// Translation of the shop's query texts into SQLite SQL.
#include "dialect.h"

#include "conversions.h"
#include "dataerror.h"
#include "shoptables.h"

#include <QRegularExpression>

namespace dialect {

namespace {

bool isBareTableName(const QString &text) {
    static const QRegularExpression name(QStringLiteral(R"(^(\[[^\]]+\]|[A-Za-z_]\w*)$)"));
    return name.match(text).hasMatch() &&
           text.compare(QLatin1String("select"), Qt::CaseInsensitive) != 0;
}

QString unbracket(QString name) {
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        name = name.mid(1, name.size() - 2);
    return name;
}

// Copies the text, turning #y/m/d# literals into stored-form text literals. `masked` gets
// the same text with literal contents blanked, for finding keywords safely.
void rewriteLiterals(const QString &text, QString &sql, QString &masked) {
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('\'');
            int j = i + 1;
            for (;; ++j) {
                if (j >= text.size())
                    throw DataError(
                        QStringLiteral("Syntax error in query: unclosed %1 in '%2'.").arg(c, text));
                if (text[j] == close) {
                    if (close == QLatin1Char('\'') && j + 1 < text.size() &&
                        text[j + 1] == QLatin1Char('\'')) {
                        ++j; // a doubled quote inside the text
                        continue;
                    }
                    break;
                }
            }
            sql += text.mid(i, j - i + 1);
            masked += c + QString(j - i - 1, QLatin1Char(' ')) + close;
            i = j;
        } else if (c == QLatin1Char('#')) {
            const int j = text.indexOf(QLatin1Char('#'), i + 1);
            const QDate date = j < 0 ? QDate() : conv::parseDate(text.mid(i + 1, j - i - 1));
            if (!date.isValid())
                throw DataError(
                    QStringLiteral("Syntax error in date in query expression '%1'.").arg(text));
            const QString literal = QStringLiteral(" '%1' ").arg(conv::isoDate(date));
            sql += literal;
            masked += QString(literal.size(), QLatin1Char(' '));
            i = j;
        } else {
            sql += c;
            masked += c;
        }
    }
}

// Adds the shop's text order to a closing "order by <column>" of a text column.
void collateTextOrder(QString &sql, const QString &masked, const QString &table,
                      const IsTextColumn &isTextColumn) {
    static const QRegularExpression orderBy(
        QStringLiteral(R"(\border\s+by\s+(\[[^\]]+\]|[A-Za-z_]\w*)\s*(?:asc|desc)?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = orderBy.match(masked);
    if (!isTextColumn || !match.hasMatch() ||
        !isTextColumn(table, unbracket(sql.mid(match.capturedStart(1), match.capturedLength(1)))))
        return;
    sql.insert(match.capturedEnd(1),
               QStringLiteral(" COLLATE %1").arg(QLatin1String(textOrderCollation)));
}

} // namespace

TranslatedQuery translate(const QString &recordSourceText, const IsTextColumn &isTextColumn) {
    const QString text = recordSourceText.trimmed();
    if (text.isEmpty())
        throw DataError(QStringLiteral("The record source has no query text."));
    if (isBareTableName(text)) {
        const QString table = unbracket(text);
        return {QStringLiteral("SELECT rowid, * FROM [%1]").arg(table), table};
    }

    QString sql;
    QString masked;
    rewriteLiterals(text, sql, masked);

    static const QRegularExpression select(QStringLiteral(R"(^select\s)"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression from(QStringLiteral(R"(\bfrom\s+(\[[^\]]+\]|\w+))"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto fromMatch = from.match(masked);
    if (!select.match(masked).hasMatch() || !fromMatch.hasMatch())
        throw DataError(QStringLiteral("Invalid query text '%1': expected a table name or "
                                       "select ... from a table.")
                            .arg(text));
    const QString table =
        unbracket(sql.mid(fromMatch.capturedStart(1), fromMatch.capturedLength(1)));
    collateTextOrder(sql, masked, table, isTextColumn);
    // The rowid rides along as the first column, so that each row can be written back.
    sql.insert(6, QStringLiteral(" rowid,"));
    return {sql, table};
}

QString quote(const QString &value) {
    QString doubled = value;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString bracket(const QString &name) {
    return QLatin1Char('[') + name + QLatin1Char(']');
}

QString dateLiteral(const QDate &date) {
    return QLatin1Char('#') + conv::dateText(date) + QLatin1Char('#');
}

// One pass over the (ISBN, SoldDate, Qty) index gives each ISBN's copies and its first sale
// row; only then is that row's title fetched, one lookup per ISBN rather than per sale, and
// in the order the rows lie in the table so that each page is read once. The upper bound
// comes first, as in the shop's period query. A missing quantity counts none.
QString topSellersSql(const QString &copiesText, const QString &datePrefix) {
    namespace S = tables::soldbook;
    namespace M = tables::tmp;
    return QStringLiteral(
               "INSERT INTO %1 (%2, %3, %4)"
               " SELECT g.ISBN, s.%5, %10"
               " FROM (SELECT %6 AS ISBN, sum(%7) AS copies, min(rowid) AS firstSale FROM %8"
               "       WHERE %11%9 <= ? AND %11%9 >= ? GROUP BY %6 ORDER BY firstSale) AS g"
               " JOIN %8 AS s ON s.rowid = g.firstSale"
               " ORDER BY g.ISBN")
        .arg(M::table, M::A.sql(), M::B.sql(), M::C.sql(), S::Title.sql(), S::ISBN.sql(),
             S::Qty.sql(), S::table, S::SoldDate.sql())
        .arg(copiesText, datePrefix);
}

} // namespace dialect
