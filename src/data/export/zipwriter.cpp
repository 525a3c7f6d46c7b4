// The zip format's records in the order a reader meets them: per entry a local header (its
// checksum and sizes left at zero, its flag saying that a descriptor follows the data), the
// deflated data and the descriptor; then a directory record per entry and the end records.
#include "zipwriter.h"

#include "dataerror.h"
#include "paralleldeflate.h"

#include <QIODevice>

namespace {
constexpr std::uint16_t sizesFollowData = 0x0008; // the flag
constexpr std::uint16_t deflated = 8;
constexpr std::uint16_t madeBy = 45;    // zip 4.5 on MS-DOS: no file attributes
constexpr std::uint16_t dosDate = 0x21; // 1980/1/1, so that the same rows give the same file
// A field holding this says that the zip64 extra field or end record holds the value.
constexpr std::uint32_t inZip64 = 0xFFFFFFFF;

std::uint16_t versionNeeded(bool zip64) {
    return zip64 ? 45 : 20;
}

// A record's field: `value` little-endian in `width` bytes.
QByteArray field(std::uint64_t value, int width) {
    QByteArray bytes(width, Qt::Uninitialized);
    for (int i = 0; i < width; ++i)
        bytes[i] = static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}
template <int width> QByteArray le(std::uint64_t value) {
    return field(value, width);
}

std::uint64_t sizeOf(const QByteArray &bytes) {
    return static_cast<std::uint64_t>(bytes.size());
}
} // namespace

ZipWriter::ZipWriter(QIODevice &device) : device_(device) {}

ZipWriter::~ZipWriter() = default;

bool ZipWriter::putRaw(const char *data, std::size_t size) {
    if (device_.write(data, static_cast<qint64>(size)) != static_cast<qint64>(size))
        return false;
    written_ += size;
    return true;
}

void ZipWriter::put(const QByteArray &bytes) {
    if (!putRaw(bytes.constData(), sizeOf(bytes)))
        fail();
}

void ZipWriter::fail() const {
    throw DataError(
        QStringLiteral("The workbook could not be written: %1").arg(device_.errorString()));
}

void ZipWriter::beginEntry(const QByteArray &name) {
    entries_.push_back({name, written_});
    // Signature, version, flags, method, time, date, checksum, packed size, size, the name's
    // length, the extra fields' length.
    put(le<4>(0x04034b50) + le<2>(versionNeeded(zip64From_ == 0)) + le<2>(sizesFollowData) +
        le<2>(deflated) + le<2>(0) + le<2>(dosDate) + le<4>(0) + le<4>(0) + le<4>(0) +
        le<2>(sizeOf(name)) + le<2>(0) + name);
    dataStart_ = written_;
    deflate_ = std::make_unique<ParallelDeflate>(
        [this](const char *data, std::size_t size) { return putRaw(data, size); });
}

void ZipWriter::write(QByteArrayView data) {
    if (!deflate_->add(data.data(), static_cast<std::size_t>(data.size())))
        fail();
}

void ZipWriter::endEntry() {
    if (!deflate_->finish())
        fail();
    Entry &entry = entries_.back();
    entry.size = deflate_->inputSize();
    entry.crc = static_cast<std::uint32_t>(deflate_->crc());
    entry.packed = written_ - dataStart_;
    deflate_.reset();
    const int width = isLarge(entry) ? 8 : 4;
    put(le<4>(0x08074b50) + le<4>(entry.crc) + field(entry.packed, width) +
        field(entry.size, width));
}

bool ZipWriter::isLarge(const Entry &entry) const {
    return entry.size >= zip64From_ || entry.packed >= zip64From_;
}

QByteArray ZipWriter::directoryRecord(const Entry &entry) const {
    const bool large = isLarge(entry);
    const bool far = entry.offset >= zip64From_;
    // The zip64 extra field holds the values whose own fields say inZip64, in this order.
    QByteArray zip64 = large ? le<8>(entry.size) + le<8>(entry.packed) : QByteArray();
    if (far)
        zip64 += le<8>(entry.offset);
    const QByteArray extra = zip64.isEmpty() ? zip64 : le<2>(1) + le<2>(sizeOf(zip64)) + zip64;
    // Signature, made by, version, flags, method, time, date, checksum, packed size, size, the
    // lengths of name, extra fields and comment, disk, attributes, the local header's offset.
    return le<4>(0x02014b50) + le<2>(madeBy) + le<2>(versionNeeded(large || far)) +
           le<2>(sizesFollowData) + le<2>(deflated) + le<2>(0) + le<2>(dosDate) + le<4>(entry.crc) +
           le<4>(large ? inZip64 : entry.packed) + le<4>(large ? inZip64 : entry.size) +
           le<2>(sizeOf(entry.name)) + le<2>(sizeOf(extra)) + le<2>(0) + le<2>(0) + le<2>(0) +
           le<4>(0) + le<4>(far ? inZip64 : entry.offset) + entry.name + extra;
}

void ZipWriter::finish() {
    const std::uint64_t start = written_;
    for (const Entry &entry : entries_)
        put(directoryRecord(entry));
    const std::uint64_t size = written_ - start;
    const std::uint64_t count = entries_.size();
    const bool zip64 = count >= std::min<std::uint64_t>(zip64From_, 0xFFFF) || size >= zip64From_ ||
                       start >= zip64From_;
    if (zip64) {
        // The zip64 end record (signature, its length after this field, made by, version,
        // disks, entries on this disk and in all, the directory's size and offset), then the
        // locator (signature, disk, the record's offset, disks).
        put(le<4>(0x06064b50) + le<8>(44) + le<2>(madeBy) + le<2>(versionNeeded(true)) + le<4>(0) +
            le<4>(0) + le<8>(count) + le<8>(count) + le<8>(size) + le<8>(start) +
            le<4>(0x07064b50) + le<4>(0) + le<8>(written_) + le<4>(1));
    }
    // Signature, disks, entries on this disk and in all, the directory's size and offset, the
    // comment's length.
    put(le<4>(0x06054b50) + le<4>(0) + le<2>(zip64 ? 0xFFFF : count) +
        le<2>(zip64 ? 0xFFFF : count) + le<4>(zip64 ? inZip64 : size) +
        le<4>(zip64 ? inZip64 : start) + le<2>(0));
}
