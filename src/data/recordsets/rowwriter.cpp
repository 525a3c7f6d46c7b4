// The INSERT, UPDATE, DELETE and re-read behind saving a record set's row.
#include "rowwriter.h"

#include "connection.h"
#include "dataerror.h"

QString RowWriter::name(int column) const {
    return fields_[static_cast<std::size_t>(column)].name;
}

qint64 RowWriter::insert(const std::map<int, QVariant> &values) const {
    sqlb::Statement insert = sqlb::insert(table_, {}).returningRowid();
    QVariantList params;
    for (const auto &[column, value] : values) {
        insert.columns << name(column);
        params << value;
    }
    Statement stmt = conn_.prepare(insert);
    stmt.bindAll(params);
    if (!stmt.step())
        throw DataError(QStringLiteral("The new row was not stored."));
    const qint64 rowid = stmt.value(0).toLongLong();
    stmt.step(); // the end of the statement
    return rowid;
}

void RowWriter::update(qint64 rowid, const std::map<int, QVariant> &values,
                       const std::map<int, double> &deltas) const {
    sqlb::Statement update = sqlb::update(table_);
    QVariantList params;
    for (const auto &[column, value] : values) {
        update.set(name(column));
        params << value;
    }
    for (const auto &[column, delta] : deltas) {
        update.add(name(column));
        params << delta;
    }
    if (params.isEmpty())
        return;
    params << rowid;
    if (conn_.write(update.whereRowid(), params) != 1)
        throw DataError(QStringLiteral("The row could not be saved: another window has deleted "
                                       "it since it was read. Press Refresh to read the table "
                                       "again."));
}

QVariantList RowWriter::reread(qint64 rowid) const {
    QStringList names;
    for (const FieldInfo &info : fields_)
        names << info.name;
    Statement stmt = conn_.prepare(sqlb::select(table_, names).whereRowid());
    stmt.bind(1, rowid);
    QVariantList values;
    if (stmt.step())
        for (int column = 0; column < static_cast<int>(fields_.size()); ++column)
            values << stmt.value(column);
    return values;
}

void RowWriter::remove(qint64 rowid) const {
    conn_.write(sqlb::remove(table_).whereRowid(), {rowid});
}
