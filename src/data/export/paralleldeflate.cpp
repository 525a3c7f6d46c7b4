// Blocks compressed side by side, in the way of pigz: every block but the last ends on a byte
// boundary (a sync flush), so the pieces join into one raw deflate stream; each block is primed
// with the window before it, so the joins cost almost nothing in size. The crc of the input is
// kept with zlib, whose crc32_combine joins the blocks' sums.
#include "paralleldeflate.h"

#include <algorithm>
#include <isa-l/igzip_lib.h>
#include <thread>
#include <utility>
#include <zlib.h>

namespace {
// Deflate looks back at most this far.
constexpr std::size_t windowSize = 32768;

// Through ISA-L's igzip at its level 1: about three times zlib's fastest level on a sheet's
// lines, and a smaller result; the stream is plain deflate, read by any inflater. False if
// compressing failed.
bool compress(const std::vector<char> &input, const std::vector<char> &window, bool last,
              std::vector<char> &out) {
    isal_zstream stream;
    isal_deflate_init(&stream);
    std::vector<std::uint8_t> levelBuffer(ISAL_DEF_LVL1_DEFAULT);
    stream.level = 1;
    stream.level_buf = levelBuffer.data();
    stream.level_buf_size = static_cast<std::uint32_t>(levelBuffer.size());
    if (!window.empty() &&
        isal_deflate_set_dict(&stream,
                              reinterpret_cast<std::uint8_t *>(const_cast<char *>(window.data())),
                              static_cast<std::uint32_t>(window.size())) != COMP_OK)
        return false;
    stream.next_in = reinterpret_cast<std::uint8_t *>(const_cast<char *>(input.data()));
    stream.avail_in = static_cast<std::uint32_t>(input.size());
    stream.end_of_stream = last ? 1 : 0;
    // Every block but the last ends on a byte boundary, so that the next one can follow it.
    stream.flush = last ? NO_FLUSH : SYNC_FLUSH;
    // Room for input that does not compress, in stored blocks, is enough in one go.
    std::size_t room = input.size() + input.size() / 8 + 4096;
    for (;;) {
        out.resize(stream.total_out + room);
        stream.next_out = reinterpret_cast<std::uint8_t *>(out.data()) + stream.total_out;
        stream.avail_out = static_cast<std::uint32_t>(room);
        if (isal_deflate(&stream) != COMP_OK)
            return false;
        // Room left over means all that was given has been said.
        if (stream.avail_in == 0 && stream.avail_out > 0 &&
            (!last || stream.internal_state.state == ZSTATE_END))
            break;
        room = 65536;
    }
    out.resize(stream.total_out);
    return true;
}
} // namespace

ParallelDeflate::ParallelDeflate(Output output)
    : output_(std::move(output)),
      mostPending_(2 * std::max(1U, std::thread::hardware_concurrency())) {
    block_.reserve(blockSize);
}

ParallelDeflate::~ParallelDeflate() {
    // A stream given up half way: its blocks still finish before their inputs go.
    for (auto &piece : pending_)
        piece.wait();
}

bool ParallelDeflate::add(const char *data, std::size_t size) {
    while (ok_ && size > 0) {
        const std::size_t part = std::min(size, blockSize - block_.size());
        block_.insert(block_.end(), data, data + part);
        data += part;
        size -= part;
        if (block_.size() == blockSize)
            startBlock(false);
        while (ok_ && pending_.size() >= mostPending_)
            ok_ = writeOldest();
    }
    return ok_;
}

bool ParallelDeflate::finish() {
    if (ok_)
        startBlock(true);
    while (ok_ && !pending_.empty())
        ok_ = writeOldest();
    return ok_;
}

void ParallelDeflate::startBlock(bool last) {
    std::vector<char> input;
    input.reserve(blockSize);
    input.swap(block_);
    inputSize_ += input.size();

    std::vector<char> window = window_;
    // The next block's window: the end of this one, reaching back into the one before if short.
    window_.insert(window_.end(),
                   input.end() - static_cast<std::ptrdiff_t>(std::min(input.size(), windowSize)),
                   input.end());
    if (window_.size() > windowSize)
        window_.erase(window_.begin(), window_.end() - static_cast<std::ptrdiff_t>(windowSize));

    // A stream of a single block, as most of a workbook's small parts are, needs no thread.
    const auto policy =
        last && pending_.empty() && window.empty() ? std::launch::deferred : std::launch::async;
    pending_.push_back(
        std::async(policy, [input = std::move(input), window = std::move(window), last] {
            Piece piece;
            piece.size = input.size();
            piece.crc = crc32(0, reinterpret_cast<const Bytef *>(input.data()),
                              static_cast<uInt>(input.size()));
            piece.ok = compress(input, window, last, piece.compressed);
            return piece;
        }));
}

bool ParallelDeflate::writeOldest() {
    const Piece piece = pending_.front().get();
    pending_.pop_front();
    if (!piece.ok || !output_(piece.compressed.data(), piece.compressed.size()))
        return false;
    crc_ = crc32_combine(crc_, piece.crc, static_cast<z_off_t>(piece.size));
    return true;
}
