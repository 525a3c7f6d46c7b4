// The frame of a search by words, the same on every engine: the matching rows, as many as the
// list shows, then sorted. How a row is tested for a word is the engine's (wordCondition).
#include "sqldialect.h"

RecordSourceSql SqlDialect::wordSearch(const WordSearch &search, int words) const {
    const auto names = [this](const std::vector<Column> &columns) {
        QStringList result;
        for (const Column &column : columns)
            result << name(column);
        return result;
    };
    QStringList tests;
    if (search.exactValues > 0) {
        QStringList values;
        for (int i = 1; i <= search.exactValues; ++i)
            values << parameter(i);
        tests << QStringLiteral("%1 IN (%2)").arg(name(search.exact), values.join(u", "));
    }
    if (words > 0)
        tests << QLatin1Char('(') +
                     wordCondition(names(search.searched), search.exactValues + 1, words) +
                     QLatin1Char(')');
    if (tests.isEmpty())
        tests << QStringLiteral("1 = 0"); // nothing to look for
    // A search that matches half the catalogue costs no more than one that matches a few:
    // the scan stops at the limit, and only what is shown is sorted.
    const QString sql =
        QStringLiteral("SELECT * FROM (SELECT rowid, %1 FROM %2 WHERE %3 LIMIT %4) AS hits"
                       " ORDER BY %5 COLLATE %6, rowid")
            .arg(names(search.shown).join(u", "), name(QLatin1String(search.table)),
                 tests.join(QStringLiteral(" OR ")), QString::number(search.limit),
                 name(search.order), spelling_.collation);
    return RecordSourceSql{EngineSql{sql, true}, QLatin1String(search.table), search.shown};
}
