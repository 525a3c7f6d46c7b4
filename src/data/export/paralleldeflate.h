// A raw deflate stream made fast: the input is cut into blocks that are compressed side by side
// on every core, each primed with the 32 KiB before it, and the pieces are joined in order into
// one stream that any inflater reads. Packing a large workbook through zlib on one core took
// nearly as long as writing its sheets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <vector>

class ParallelDeflate {
public:
    // Takes the compressed bytes in order; false stops the stream.
    using Output = std::function<bool(const char *data, std::size_t size)>;

    explicit ParallelDeflate(Output output);
    ~ParallelDeflate();
    ParallelDeflate(const ParallelDeflate &) = delete;
    ParallelDeflate &operator=(const ParallelDeflate &) = delete;

    // False once compressing or the output has failed; the stream is then unusable.
    bool add(const char *data, std::size_t size);
    // Ends the stream; false if it could not be written whole.
    bool finish();

    // Of the whole input, for the zip entry's descriptor.
    std::uint64_t inputSize() const { return inputSize_; }
    unsigned long crc() const { return crc_; }

    static constexpr std::size_t blockSize = std::size_t{1} << 20;

private:
    struct Piece {
        std::vector<char> compressed;
        unsigned long crc = 0;
        std::size_t size = 0;
        bool ok = false;
    };

    void startBlock(bool last);
    bool writeOldest();

    Output output_;
    std::vector<char> block_;
    std::vector<char> window_; // the last 32 KiB of the input before block_
    std::deque<std::future<Piece>> pending_;
    std::size_t mostPending_;
    std::uint64_t inputSize_ = 0;
    unsigned long crc_ = 0;
    bool ok_ = true;
};
