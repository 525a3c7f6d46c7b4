// The generator's reusable INSERT statement.
#include "bulkinsert.h"

#include <QStringList>

namespace {

QString insertSql(const char *table, std::initializer_list<const char *> columns) {
    QStringList names, marks;
    for (const char *column : columns) {
        names << QStringLiteral("[%1]").arg(QString::fromUtf8(column));
        marks << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO [%1] (%2) VALUES (%3)")
        .arg(QString::fromUtf8(table), names.join(", "), marks.join(", "));
}

} // namespace

BulkInsert::BulkInsert(SqliteFile &file, const char *table,
                       std::initializer_list<const char *> columns)
    : insert_(file, insertSql(table, columns)) {}

BulkInsert &BulkInsert::text(std::string_view value) {
    insert_.bindKept(next_++, value);
    return *this;
}

BulkInsert &BulkInsert::integer(std::int64_t value) {
    insert_.bind(next_++, qlonglong(value));
    return *this;
}

BulkInsert &BulkInsert::money(double value) {
    insert_.bind(next_++, value);
    return *this;
}

void BulkInsert::row() {
    next_ = 1;
    insert_.step();
    insert_.reset();
    ++rows_;
}
