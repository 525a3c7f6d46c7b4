// A stream packed on several cores inflates, with zlib's own inflater, to exactly what went in,
// and carries that input's checksum and size; a failing output stops it.
#include "paralleldeflate.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <zlib.h>

namespace {
std::string inflateRaw(const std::string &packed) {
    z_stream stream{};
    EXPECT_EQ(inflateInit2(&stream, -MAX_WBITS), Z_OK);
    std::string out;
    char buffer[1 << 16];
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
    }
    EXPECT_EQ(result, Z_STREAM_END) << "the stream does not end where it should";
    EXPECT_EQ(stream.avail_in, 0U) << "bytes after the end of the stream";
    inflateEnd(&stream);
    return out;
}

// Rows of a sheet as the workbook writes them: compressible, with repeats across blocks.
std::string sheetLike(std::size_t size) {
    std::string text;
    for (int row = 1; text.size() < size; ++row)
        text += "<row r=\"" + std::to_string(row) + "\"><c r=\"A" + std::to_string(row) +
                "\" s=\"1\"><v>" + std::to_string(row * 7 % 1000) + ".25</v></c></row>";
    text.resize(size);
    return text;
}

std::string randomBytes(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char &byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}
} // namespace

TEST(ParallelDeflate, InflatesToItsInputWithItsChecksum) {
    constexpr std::size_t block = ParallelDeflate::blockSize;
    const struct {
        const char *name;
        std::string input;
        std::size_t pieces; // the size of each add()
    } cases[] = {
        {"nothing", "", 1},
        {"one byte", "x", 1},
        {"a block less one", sheetLike(block - 1), 16384},
        {"exactly a block", sheetLike(block), block},
        {"a block and one byte", sheetLike(block + 1), 16384},
        {"many blocks in odd pieces", sheetLike(9 * block + 12345), 7777},
        {"incompressible blocks", randomBytes(3 * block + 5), 65536},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string packed;
        ParallelDeflate deflate([&packed](const char *data, std::size_t size) {
            packed.append(data, size);
            return true;
        });
        for (std::size_t at = 0; at < c.input.size(); at += c.pieces)
            ASSERT_TRUE(deflate.add(c.input.data() + at, std::min(c.pieces, c.input.size() - at)));
        ASSERT_TRUE(deflate.finish());
        EXPECT_EQ(inflateRaw(packed), c.input);
        EXPECT_EQ(deflate.inputSize(), c.input.size());
        EXPECT_EQ(deflate.crc(), crc32(0, reinterpret_cast<const Bytef *>(c.input.data()),
                                       static_cast<uInt>(c.input.size())));
    }
}

TEST(ParallelDeflate, AFailingOutputStopsTheStream) {
    int writes = 0;
    ParallelDeflate deflate([&writes](const char *, std::size_t) { return ++writes < 2; });
    const std::string input = sheetLike(20 * ParallelDeflate::blockSize);
    bool added = true;
    for (std::size_t at = 0; added && at < input.size(); at += 65536)
        added = deflate.add(input.data() + at, 65536);
    EXPECT_FALSE(added && deflate.finish());
    EXPECT_EQ(writes, 2) << "went on writing after the output failed";
}
