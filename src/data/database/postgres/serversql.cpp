// Translation of the shop's SQLite-form statements for a PostgreSQL server.
#include "serversql.h"

#include "dataerror.h"
#include "shoptables.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace serversql {

namespace {

QString quoted(const QString &name) {
    QString inner = name.toLower();
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

const TableDescription *table(const QString &name) {
    for (const TableDescription &description : tables::all)
        if (name.compare(QLatin1String(description.name), Qt::CaseInsensitive) == 0)
            return &description;
    return nullptr;
}

// First pass: names, parameters and literals. `masked` is the same text with the insides of
// literals and names blanked, so that keywords are found only where they are keywords.
void rewriteTokens(const QString &text, QString &sql, QString &masked) {
    int parameter = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'')) {
            int j = i + 1;
            for (; j < text.size(); ++j) {
                if (text[j] != QLatin1Char('\''))
                    continue;
                if (j + 1 < text.size() && text[j + 1] == QLatin1Char('\''))
                    ++j; // a doubled quote inside the text
                else
                    break;
            }
            j = std::min(j, int(text.size()) - 1);
            sql += text.mid(i, j - i + 1);
            masked += QLatin1Char('\'') + QString(std::max(0, j - i - 1), QLatin1Char(' ')) +
                      QLatin1Char('\'');
            i = j;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            const int j = text.indexOf(close, i + 1);
            if (j < 0)
                throw DataError(
                    QStringLiteral("Syntax error in query: unclosed %1 in '%2'.").arg(c).arg(text));
            const QString name = quoted(text.mid(i + 1, j - i - 1));
            sql += name;
            masked +=
                QLatin1Char('"') + QString(name.size() - 2, QLatin1Char('x')) + QLatin1Char('"');
            i = j;
        } else if (c == QLatin1Char('?')) {
            int j = i + 1;
            while (j < text.size() && text[j].isDigit())
                ++j;
            const QString number =
                j > i + 1 ? text.mid(i + 1, j - i - 1) : QString::number(++parameter);
            const QString mark = QLatin1Char('$') + number;
            sql += mark;
            masked += mark;
            i = j - 1;
        } else {
            sql += c;
            masked += c;
        }
    }
}

// Replaces the match of `pattern` in both texts (the same length in each).
void replaceAt(QString &sql, QString &masked, qsizetype start, qsizetype length,
               const QString &with) {
    sql.replace(start, length, with);
    masked.replace(start, length, with);
}

void expandStar(QString &sql, QString &masked) {
    static const QRegularExpression star(
        QStringLiteral(R"(\bselect\s+(?:rowid\s*,\s*)?(\*)\s*from\s+("[^"]*"|\w+))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = star.match(masked);
    if (!match.hasMatch())
        return;
    QString name = sql.mid(match.capturedStart(2), match.capturedLength(2));
    if (name.startsWith(QLatin1Char('"')))
        name = name.mid(1, name.size() - 2);
    const TableDescription *description = table(name);
    if (description == nullptr)
        return;
    QStringList columns;
    for (const Column &column : description->columns)
        columns << quoted(QLatin1String(column.name));
    replaceAt(sql, masked, match.capturedStart(1), 1, columns.join(QLatin1Char(',')));
}

void renameFunctions(QString &sql, QString &masked) {
    static const QRegularExpression function(QStringLiteral(R"(\b(total|ifnull)\s*\()"),
                                             QRegularExpression::CaseInsensitiveOption);
    std::vector<QRegularExpressionMatch> matches;
    for (auto it = function.globalMatch(masked); it.hasNext();)
        matches.push_back(it.next());
    // From the last to the first, so that each replacement leaves the others in place.
    for (auto match = matches.rbegin(); match != matches.rend(); ++match) {
        const bool total =
            match->captured(1).compare(QLatin1String("total"), Qt::CaseInsensitive) == 0;
        replaceAt(sql, masked, match->capturedStart(1), match->capturedLength(1),
                  total ? QStringLiteral("sum") : QStringLiteral("coalesce"));
    }
}

// A record-source query (it starts by fetching the rowid) of one table comes in the order its
// rows were stored, as from the file, where no order of its own decides: rows that sort
// alike keep that order too.
void keepStoredOrder(QString &sql, const QString &masked) {
    static const QRegularExpression recordSource(QStringLiteral(R"(^\s*select\s+rowid\s*,)"),
                                                 QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression grouped(
        QStringLiteral(R"(\b(group\s+by|limit|union|join)\b|\(\s*select\b)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ordered(QStringLiteral(R"(\border\s+by\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (!recordSource.match(masked).hasMatch() || grouped.match(masked).hasMatch())
        return;
    sql = sql.trimmed();
    sql += ordered.match(masked).hasMatch() ? QStringLiteral(", rowid")
                                            : QStringLiteral(" ORDER BY rowid");
}

// Names given with AS keep the case they were written in.
void collectAliases(const QString &sql, const QString &masked, QHash<QString, QString> &names) {
    static const QRegularExpression alias(QStringLiteral(R"(\bas\s+([A-Za-z_]\w*))"),
                                          QRegularExpression::CaseInsensitiveOption);
    for (auto it = alias.globalMatch(masked); it.hasNext();) {
        const auto match = it.next();
        const QString name = sql.mid(match.capturedStart(1), match.capturedLength(1));
        names.insert(name.toLower(), name);
    }
}

} // namespace

QString shopName(const QString &lowerCase) {
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> all;
        for (const TableDescription &description : tables::all) {
            all.insert(QString::fromLatin1(description.name).toLower(),
                       QString::fromLatin1(description.name));
            for (const Column &column : description.columns)
                all.insert(QString::fromLatin1(column.name).toLower(),
                           QString::fromLatin1(column.name));
        }
        return all;
    }();
    return names.value(lowerCase, lowerCase);
}

EngineSql translate(const QString &sqliteSql) {
    EngineSql result;
    QString masked;
    rewriteTokens(sqliteSql, result.sql, masked);
    collectAliases(result.sql, masked, result.names);
    expandStar(result.sql, masked);
    renameFunctions(result.sql, masked);
    keepStoredOrder(result.sql, masked);
    result.isRead = result.sql.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive);
    return result;
}

const EngineSql &translateOnce(const QString &sqliteSql) {
    thread_local QHash<QString, EngineSql> translated;
    const auto known = translated.constFind(sqliteSql);
    if (known != translated.constEnd())
        return *known;
    if (translated.size() >= 1000) // texts with values written in do not come back
        translated.clear();
    return *translated.insert(sqliteSql, translate(sqliteSql));
}

} // namespace serversql
