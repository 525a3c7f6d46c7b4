// A zip file written front to back as its entries' bytes arrive: each entry is deflated on
// every core straight into the file, its checksum and sizes follow its data, and the
// directory of entries comes last. Sizes and offsets past 4 GiB take the zip64 forms.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class ParallelDeflate;
class QIODevice;

class ZipWriter {
public:
    // Writes to `device` from where it stands; a failed write throws DataError.
    explicit ZipWriter(QIODevice &device);
    ~ZipWriter();

    // Starts the next entry, the one before it ended; `name` is its path in the zip.
    void beginEntry(const QByteArray &name);
    void write(QByteArrayView data);
    void endEntry();
    // Writes the directory: the file is then whole.
    void finish();

    // The zip64 forms for every entry and the directory, also when small, for the tests.
    void alwaysZip64() { zip64From_ = 0; }

private:
    struct Entry {
        QByteArray name;
        std::uint64_t offset = 0; // of its local header
        std::uint64_t size = 0;
        std::uint64_t packed = 0;
        std::uint32_t crc = 0;
    };

    bool putRaw(const char *data, std::size_t size);
    void put(const QByteArray &bytes);
    [[noreturn]] void fail() const;
    bool isLarge(const Entry &entry) const;
    QByteArray directoryRecord(const Entry &entry) const;

    QIODevice &device_;
    std::uint64_t written_ = 0;
    std::uint64_t dataStart_ = 0; // of the open entry's data
    std::uint64_t zip64From_ = 0xFFFFFFFF;
    std::unique_ptr<ParallelDeflate> deflate_; // the open entry's
    std::vector<Entry> entries_;
};
