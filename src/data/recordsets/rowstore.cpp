// Packed row storage: per cell one tag byte and its payload, rows back to back in the chunks
// of an arena.
#include "rowstore.h"

#include "connection.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>
#include <optional>

namespace {

// Chunks start small, so that a record set of a few rows stays small, and double up to a size
// at which a large one wastes little at their ends.
constexpr std::size_t kFirstChunk = 1024;
constexpr std::size_t kLargestChunk = std::size_t{1} << 20;

enum Tag : char { Null = 0, Int32 = 1, Int64 = 2, Double = 3, Text = 4 };

void putLength(std::string &out, std::uint32_t length) {
    while (length >= 0x80) {
        out.push_back(static_cast<char>((length & 0x7f) | 0x80));
        length >>= 7;
    }
    out.push_back(static_cast<char>(length));
}

std::uint32_t getLength(const char *&p) {
    std::uint32_t length = 0;
    int shift = 0;
    for (;;) {
        const auto byte = static_cast<unsigned char>(*p++);
        length |= static_cast<std::uint32_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0)
            return length;
        shift += 7;
    }
}

template <typename T> void putRaw(std::string &out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T> T getRaw(const char *&p) {
    T value;
    std::memcpy(&value, p, sizeof(T));
    p += sizeof(T);
    return value;
}

void putInteger(std::string &out, qint64 value) {
    if (value >= INT32_MIN && value <= INT32_MAX) {
        out.push_back(Int32);
        putRaw<std::int32_t>(out, static_cast<std::int32_t>(value));
    } else {
        out.push_back(Int64);
        putRaw<qint64>(out, value);
    }
}

void putText(std::string &out, const char *text, std::uint32_t bytes) {
    out.push_back(Text);
    putLength(out, bytes);
    out.append(text, bytes);
}

// Reads the cell that begins at `p` and steps past it; a text stays where the row keeps it.
RowStore::Stored readCell(const char *&p) {
    RowStore::Stored cell;
    switch (*p++) {
    case Int32:
        cell.kind = StoredAs::Whole;
        cell.whole = getRaw<std::int32_t>(p);
        break;
    case Int64:
        cell.kind = StoredAs::Whole;
        cell.whole = getRaw<qint64>(p);
        break;
    case Double:
        cell.kind = StoredAs::Real;
        cell.real = getRaw<double>(p);
        break;
    case Text:
        cell.kind = StoredAs::Text;
        cell.size = getLength(p);
        cell.text = p;
        p += cell.size;
        break;
    default:
        break;
    }
    return cell;
}

QVariant valueOf(const RowStore::Stored &cell) {
    switch (cell.kind) {
    case StoredAs::Whole:
        return QVariant(static_cast<qlonglong>(cell.whole));
    case StoredAs::Real:
        return QVariant(cell.real);
    case StoredAs::Text:
        return QVariant(QString::fromUtf8(cell.text, static_cast<qsizetype>(cell.size)));
    case StoredAs::Null:
        break;
    }
    return QVariant();
}

// The cell's number; none when it holds no number.
std::optional<double> numberOf(const RowStore::Stored &cell) {
    if (cell.kind == StoredAs::Whole)
        return static_cast<double>(cell.whole);
    if (cell.kind == StoredAs::Real)
        return cell.real;
    return std::nullopt;
}

// The bytes of the row of `columns` cells that begins at `p`.
std::size_t rowBytes(const char *p, int columns) {
    const char *start = p;
    for (int column = 0; column < columns; ++column)
        readCell(p);
    return static_cast<std::size_t>(p - start);
}

} // namespace

std::uint64_t RowStore::place() {
    const std::size_t size = scratch_.size();
    if (chunks_.empty() || chunkSizes_.back() - used_ < size) {
        const std::size_t next =
            chunks_.empty() ? kFirstChunk : std::min(chunkSizes_.back() * 2, kLargestChunk);
        const std::size_t capacity = std::max(next, size);
        chunks_.emplace_back(new char[capacity]); // not zeroed: only what is written is touched
        chunkSizes_.push_back(capacity);
        used_ = 0;
    }
    if (size > 0)
        std::memcpy(chunks_.back().get() + used_, scratch_.data(), size);
    const std::uint64_t offset = (static_cast<std::uint64_t>(chunks_.size() - 1) << 32) | used_;
    used_ += size;
    stored_ += size;
    if (scratch_.capacity() > kLargestChunk)
        std::string().swap(scratch_); // keep no room for a rare huge row
    return offset;
}

const char *RowStore::rowStart(int row) const {
    const std::uint64_t offset = rows_[static_cast<std::size_t>(row)].offset;
    return chunks_[static_cast<std::size_t>(offset >> 32)].get() + (offset & 0xffffffffu);
}

// A statement's row as the engine hands its cells over: the first is the row's id, the rest
// are packed as they come. A statement with fewer cells than the store has columns leaves the
// others null; cells beyond them are left out.
class RowStore::RowEncoder final : public CellSink {
public:
    RowEncoder(std::string &out, int columns) : out_(out), columns_(columns) {}
    void null() override {
        if (isCell())
            out_.push_back(Null);
    }
    void whole(qint64 value) override {
        if (at_ == 0)
            rowid_ = value;
        if (isCell())
            putInteger(out_, value);
    }
    void real(double value) override {
        if (isCell()) {
            out_.push_back(Double);
            putRaw<double>(out_, value);
        }
    }
    void text(const char *utf8, std::size_t size) override {
        if (isCell())
            putText(out_, utf8, static_cast<std::uint32_t>(size));
    }
    qint64 finish() {
        while (at_ <= columns_)
            null();
        return rowid_;
    }

private:
    bool isCell() {
        const int at = at_++;
        return at > 0 && at <= columns_;
    }

    std::string &out_;
    int columns_;
    int at_ = 0;
    qint64 rowid_ = 0;
};

void RowStore::appendFromStatement(const Statement &stmt) {
    scratch_.clear();
    RowEncoder encoder(scratch_, columns_);
    stmt.readCells(0, encoder);
    const qint64 rowid = encoder.finish();
    rows_.push_back({place(), rowid});
}

void RowStore::encodeRow(const QVariantList &values) {
    scratch_.clear();
    for (int column = 0; column < columns_; ++column) {
        const QVariant value = values.value(column);
        switch (storedAs(value)) {
        case StoredAs::Null:
            scratch_.push_back(Null);
            break;
        case StoredAs::Whole:
            putInteger(scratch_, value.toLongLong());
            break;
        case StoredAs::Real:
            scratch_.push_back(Double);
            putRaw<double>(scratch_, value.toDouble());
            break;
        case StoredAs::Text: {
            const QByteArray utf8 = value.toString().toUtf8();
            putText(scratch_, utf8.constData(), static_cast<std::uint32_t>(utf8.size()));
        }
        }
    }
}

void RowStore::append(qint64 rowid, const QVariantList &values) {
    insert(rowCount(), rowid, values);
}

void RowStore::insert(int row, qint64 rowid, const QVariantList &values) {
    const auto at = static_cast<std::size_t>(row);
    encodeRow(values);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), RowRef{place(), rowid});
}

void RowStore::replace(int row, qint64 rowid, const QVariantList &values) {
    const auto at = static_cast<std::size_t>(row);
    wasted_ += rowBytes(rowStart(row), columns_);
    encodeRow(values);
    rows_[at] = RowRef{place(), rowid};
    compactIfWasteful();
}

void RowStore::remove(int row) {
    const auto at = static_cast<std::size_t>(row);
    wasted_ += rowBytes(rowStart(row), columns_);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(at));
    compactIfWasteful();
}

QVariant RowStore::cell(int row, int column) const {
    const char *p = rowStart(row);
    for (int c = 0; c < column; ++c)
        readCell(p);
    return valueOf(readCell(p));
}

void RowStore::storedRow(int row, Stored *cells) const {
    const char *p = rowStart(row);
    for (int column = 0; column < columns_; ++column)
        cells[column] = readCell(p);
}

double RowStore::sumOfProducts(int columnA, int columnB, int skipRow) const {
    const int last = qMax(columnA, columnB);
    double sum = 0;
    for (int row = 0; row < rowCount(); ++row) {
        if (row == skipRow)
            continue;
        const char *p = rowStart(row);
        std::optional<double> a, b;
        for (int column = 0; column <= last; ++column) {
            const std::optional<double> number = numberOf(readCell(p));
            if (column == columnA)
                a = number;
            if (column == columnB)
                b = number;
        }
        if (a && b)
            sum += *a * *b;
    }
    return sum;
}

QVariantList RowStore::rowValues(int row) const {
    QVariantList values;
    values.reserve(columns_);
    const char *p = rowStart(row);
    for (int column = 0; column < columns_; ++column)
        values.push_back(valueOf(readCell(p)));
    return values;
}

std::size_t RowStore::bytesUsed() const {
    std::size_t chunks = 0;
    for (const std::size_t size : chunkSizes_)
        chunks += size;
    return chunks + scratch_.capacity() + chunkSizes_.capacity() * sizeof(std::size_t) +
           chunks_.capacity() * sizeof(chunks_[0]) + rows_.size() * sizeof(RowRef);
}

// Edited and deleted rows leave their old bytes behind; rebuild once they dominate.
void RowStore::compactIfWasteful() {
    if (wasted_ < (1u << 20) || wasted_ < stored_ / 2)
        return;
    std::vector<std::unique_ptr<char[]>> oldChunks;
    oldChunks.swap(chunks_);
    chunkSizes_.clear();
    used_ = stored_ = 0;
    for (RowRef &ref : rows_) {
        std::uint64_t &offset = ref.offset;
        const char *p =
            oldChunks[static_cast<std::size_t>(offset >> 32)].get() + (offset & 0xffffffffu);
        scratch_.assign(p, rowBytes(p, columns_));
        offset = place();
    }
    wasted_ = 0;
}
