// Compact in-memory rows of a record set: every row packed into a byte arena (a tag and
// payload per cell), so that a large result costs little more than its data. The arena is a
// list of chunks that is never copied as it grows: no doubling of a large result's memory
// while it loads, and little room left unused once it has.
#pragma once

#include "engine.h"

#include <QVariant>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class Statement;

class RowStore {
public:
    explicit RowStore(int columnCount = 0) : columns_(columnCount) {}

    int columnCount() const { return columns_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }

    // Appends the current row of a stepped statement: column 0 is the rowid, the rest cells.
    void appendFromStatement(const Statement &stmt);
    // Appends or replaces a row from values (one per column).
    void append(qint64 rowid, const QVariantList &values);
    void replace(int row, qint64 rowid, const QVariantList &values);
    void insert(int row, qint64 rowid, const QVariantList &values);
    void remove(int row);

    QVariant cell(int row, int column) const;
    // A cell as it is kept, without a QVariant made of it: a number, or a text's UTF-8 bytes
    // (valid while the store is unchanged). An export of millions of rows reads these.
    struct Stored {
        StoredAs kind = StoredAs::Null;
        qint64 whole = 0;
        double real = 0;
        const char *text = nullptr;
        std::size_t size = 0;
    };
    // Every cell of a row (columnCount() of them), in one walk along it.
    void storedRow(int row, Stored *cells) const;
    QVariantList rowValues(int row) const;
    // Sum over the rows of column a × column b, leaving out rows where either is not a number
    // (and the row skipRow, which the caller counts itself).
    double sumOfProducts(int columnA, int columnB, int skipRow = -1) const;
    qint64 rowid(int row) const { return rows_[static_cast<std::size_t>(row)].rowid; }

    // Bytes held, for the memory figures of the benchmarks.
    std::size_t bytesUsed() const;

private:
    class RowEncoder;
    // Encodes a row (one value per column, null where values ends) into scratch_.
    void encodeRow(const QVariantList &values);
    // Copies the row encoded in scratch_ into the arena; returns where it starts.
    std::uint64_t place();
    const char *rowStart(int row) const;
    void compactIfWasteful();

    int columns_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::vector<std::size_t> chunkSizes_;
    std::size_t used_ = 0;   // bytes taken in the last chunk
    std::size_t stored_ = 0; // bytes of every row placed, current or replaced
    std::string scratch_;    // the row being encoded
    struct RowRef {
        std::uint64_t offset; // chunk index << 32 | position in the chunk
        qint64 rowid;
    };
    // A deque, not a vector: millions of rows grow it without copying it over and over and
    // without holding twice its size while it does.
    std::deque<RowRef> rows_;
    std::size_t wasted_ = 0;
};
