// The generator's reusable INSERT statement.
#include "bulkinsert.h"

#include "sqlbuilder.h"
#include "sqldialect.h"
#include "sqlitedialect.h"

BulkInsert::BulkInsert(SqliteFile &file, const char *table,
                       std::initializer_list<const char *> columns)
    : insert_(file, engines::fileDialect()
                        .render(sqlb::insert(table, QStringList(columns.begin(), columns.end())))
                        .sql) {}

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
