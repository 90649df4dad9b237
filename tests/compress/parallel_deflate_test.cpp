#include "compress/parallel_deflate.h"

#include "temp_folder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>

using namespace parcelo;

namespace {

constexpr std::size_t kBlock = 100'000; // not a multiple of the 32 KiB window

// Random bytes ('r'), text lines ('t') or half of each ('m').
std::string contentOf(char kind, std::size_t size)
{
    std::string text;
    for (int line = 0; text.size() < size; ++line)
        text += "line " + std::to_string(line * 7919 % 1000) + " of some text\n";
    text.resize(size);
    if (kind == 'r')
        return test::patternBytes(size, 7);
    return kind == 't' ? text : text.substr(0, size / 2) + test::patternBytes(size - size / 2, 3);
}

struct Deflated {
    std::string stream;
    std::uint32_t crc;
    std::uint64_t size;
};

Deflated deflateAll(const std::string& input, int level)
{
    std::size_t at = 0;
    ParallelDeflate deflater(level,
                             [&](char* out, std::size_t capacity) {
                                 const std::size_t step = std::min(capacity, input.size() - at);
                                 std::memcpy(out, input.data() + at, step);
                                 at += step;
                                 return step;
                             },
                             {kBlock, 3});
    std::string stream;
    char block[7000]; // reads that do not line up with the blocks
    while (const std::size_t got = deflater.read(block, sizeof block))
        stream.append(block, got);
    EXPECT_TRUE(deflater.finished());
    return {stream, deflater.crc(), deflater.inputSize()};
}

std::string inflateRaw(const std::string& stream, std::size_t expected)
{
    z_stream z{};
    inflateInit2(&z, -15);
    std::string out(expected + 1, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_FINISH);
    EXPECT_EQ(rc, Z_STREAM_END);
    EXPECT_EQ(z.avail_in, 0u); // nothing after the final block
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

} // namespace

TEST(ParallelDeflate, ChainsBlocksIntoOneStreamZlibInflates)
{
    const std::size_t sizes[] = {
        0, 1, 32767, 32768, 32769, kBlock - 1, kBlock, kBlock + 1, 3 * kBlock + 12345};
    for (char kind : {'r', 't', 'm'})
        for (std::size_t size : sizes)
            for (int level : {1, 9}) {
                SCOPED_TRACE(std::string(1, kind) + " " + std::to_string(size) + " level "
                             + std::to_string(level));
                const std::string input = contentOf(kind, size);
                const Deflated out = deflateAll(input, level);
                EXPECT_EQ(inflateRaw(out.stream, size), input);
                EXPECT_EQ(out.size, size);
                EXPECT_EQ(out.crc, crc32_z(0, reinterpret_cast<const Bytef*>(input.data()), size));
                if (kind == 'r') { // stored, not inflated by a failed deflate
                    EXPECT_LE(out.stream.size(), size + 10 * (size / kBlock + 1));
                }
                if (kind == 't' && size > kBlock) { // blocks see the text before them
                    EXPECT_LT(out.stream.size(), size / 8);
                }
            }
}
