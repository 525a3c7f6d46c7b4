// Compact in-memory rows of a record set: every row packed into one byte arena (a tag and
// payload per cell), so that a large result costs little more than its data.
#pragma once

#include <QVariant>
#include <cstdint>
#include <string>
#include <vector>

struct sqlite3_stmt;

class RowStore {
public:
    explicit RowStore(int columnCount = 0) : columns_(columnCount) {}

    int columnCount() const { return columns_; }
    int rowCount() const { return static_cast<int>(offsets_.size()); }
    void clear();
    void reserve(std::size_t rows);

    // Appends the current row of a stepped statement: column 0 is the rowid, the rest cells.
    void appendFromStatement(sqlite3_stmt *stmt);
    // Appends or replaces a row from values (one per column).
    void append(qint64 rowid, const QVariantList &values);
    void replace(int row, qint64 rowid, const QVariantList &values);
    void insert(int row, qint64 rowid, const QVariantList &values);
    void remove(int row);

    QVariant cell(int row, int column) const;
    QVariantList rowValues(int row) const;
    qint64 rowid(int row) const { return rowids_[static_cast<std::size_t>(row)]; }

    // Bytes held, for the memory figures of the benchmarks.
    std::size_t bytesUsed() const;

private:
    void encode(const QVariant &value);
    void compactIfWasteful();

    int columns_;
    std::string arena_;
    std::vector<std::uint64_t> offsets_;
    std::vector<qint64> rowids_;
    std::size_t wasted_ = 0;
};
