// Where an exported list goes: a file format that takes the column captions, then rows of
// typed cells, and is put in place only when every row is in. The rows come in batches packed
// for speed: plain cells side by side, and their texts one after another in a single buffer.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>
#include <cstddef>
#include <span>
#include <vector>

struct ExportCell {
    enum class Kind : quint8 {
        Empty,
        Whole, // `integer`
        Money, // `number`; also a whole-number column's value that has a fraction
        Date,  // `integer`: the Julian day
        Time,  // `integer`: milliseconds since midnight
        Text,  // `textSize` bytes of UTF-8 at `textAt` in the batch's texts, then a NUL
    };
    Kind kind = Kind::Empty;
    quint32 textSize = 0;
    std::size_t textAt = 0;
    double number = 0;
    qint64 integer = 0;
};

// Rows of cells, filled on the reading thread and written on the writer's.
class ExportBatch {
public:
    explicit ExportBatch(std::size_t columns = 0, std::size_t rows = 0) : columns_(columns) {
        cells_.reserve(columns * rows);
    }
    // The next row's cells, all empty; valid until the next call.
    ExportCell *addRow() {
        cells_.resize(cells_.size() + columns_);
        ++rows_;
        return cells_.data() + cells_.size() - columns_;
    }
    void setText(ExportCell &cell, const QByteArray &utf8) {
        setText(cell, utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
    void setText(ExportCell &cell, const char *utf8, std::size_t size) {
        cell.kind = ExportCell::Kind::Text;
        cell.textAt = texts_.size();
        cell.textSize = static_cast<quint32>(size);
        texts_.insert(texts_.end(), utf8, utf8 + size);
        texts_.push_back('\0');
    }
    void clear() {
        cells_.clear();
        texts_.clear();
        rows_ = 0;
    }
    std::size_t rows() const { return rows_; }
    std::span<const ExportCell> row(std::size_t row) const {
        return std::span<const ExportCell>(cells_).subspan(row * columns_, columns_);
    }
    const char *text(const ExportCell &cell) const { return texts_.data() + cell.textAt; }

private:
    std::size_t columns_;
    std::size_t rows_ = 0;
    std::vector<ExportCell> cells_;
    std::vector<char> texts_;
};

class ExportSink {
public:
    virtual ~ExportSink() = default;
    virtual void writeCaptions(const QStringList &captions) = 0;
    virtual void writeRows(const ExportBatch &batch) = 0;
    // Finishes the file under its temporary name; throws DataError when it cannot.
    virtual void finish() = 0;
};
