// The INSERT, UPDATE, DELETE and re-read behind saving a record set's row.
#include "rowwriter.h"

#include "connection.h"
#include "dataerror.h"
#include "dialect.h"

#include <QStringList>

using dialect::bracket;

QString RowWriter::name(int column) const {
    return bracket(fields_[static_cast<std::size_t>(column)].name);
}

qint64 RowWriter::insert(const std::map<int, QVariant> &values) const {
    QStringList names;
    QVariantList params;
    for (const auto &[column, value] : values) {
        names << name(column);
        params << value;
    }
    const QString sql =
        names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING rowid").arg(bracket(table_))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING rowid")
                  .arg(bracket(table_), names.join(QLatin1Char(',')),
                       QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    Statement stmt = conn_.prepare(sql);
    stmt.bindAll(params);
    if (!stmt.step())
        throw DataError(QStringLiteral("The new row was not stored."));
    const qint64 rowid = stmt.value(0).toLongLong();
    stmt.step(); // the end of the statement
    return rowid;
}

void RowWriter::update(qint64 rowid, const std::map<int, QVariant> &values,
                       const std::map<int, double> &deltas) const {
    QStringList sets;
    QVariantList params;
    for (const auto &[column, value] : values) {
        sets << name(column) + QStringLiteral("=?");
        params << value;
    }
    for (const auto &[column, delta] : deltas) {
        sets << name(column) + QStringLiteral("=") + name(column) + QStringLiteral("+?");
        params << delta;
    }
    if (sets.isEmpty())
        return;
    Statement stmt = conn_.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                                       .arg(bracket(table_), sets.join(QLatin1Char(','))));
    params << rowid;
    stmt.bindAll(params);
    stmt.step();
    if (conn_.changes() != 1)
        throw DataError(QStringLiteral("The row could not be saved: another window has deleted "
                                       "it since it was read. Press Refresh to read the table "
                                       "again."));
}

QVariantList RowWriter::reread(qint64 rowid) const {
    QStringList names;
    for (const FieldInfo &info : fields_)
        names << bracket(info.name);
    Statement stmt = conn_.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?")
                                       .arg(names.join(QLatin1Char(',')), bracket(table_)));
    stmt.bind(1, rowid);
    QVariantList values;
    if (stmt.step())
        for (int column = 0; column < static_cast<int>(fields_.size()); ++column)
            values << stmt.value(column);
    return values;
}

void RowWriter::remove(qint64 rowid) const {
    Statement stmt =
        conn_.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(bracket(table_)));
    stmt.bind(1, rowid);
    stmt.step();
}
