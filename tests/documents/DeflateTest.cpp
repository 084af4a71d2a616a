#include "TestSupport.h"

#include "documents/Deflate.h"

#include <zlib.h>

namespace {
std::string inflated(const Deflate::Compressed& compressed, std::size_t size)
{
    std::string joined;
    for (const std::string& piece : compressed.pieces) joined += piece;
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -MAX_WBITS), Z_OK);
    std::string text(size + 1, '\0');
    z.next_in = reinterpret_cast<Bytef*>(joined.data());
    z.avail_in = static_cast<uInt>(joined.size());
    z.next_out = reinterpret_cast<Bytef*>(text.data());
    z.avail_out = static_cast<uInt>(text.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    text.resize(z.total_out);
    inflateEnd(&z);
    return text;
}
}

// Texts of several pieces are cut, primed, flushed and joined into one stream whose checksum
// and size cover the whole text; stretches of any length, down to nothing, make it up.
TEST(DeflateTest, PiecesJoinIntoTheWholeText)
{
    struct Case {
        std::size_t size;
        std::size_t stretch;
    };
    for (const Case& c : std::vector<Case>{{0, 1}, {5, 1}, {3'500'000, 1'000}, {3'000'000, 3'000'000}, {2'500'000, 0}}) {
        std::string text;
        for (std::size_t i = 0; text.size() < c.size; ++i) text += "<c r=\"A" + std::to_string(i * 7919 % 100'003) + "\"/>";
        text.resize(c.size);
        std::size_t at = 0, calls = 0;
        const Deflate::Compressed compressed = Deflate::generated(
            [&](std::string& out) {
                // A stretch of 0 hands over nothing for a few calls before each part.
                const std::size_t n = c.stretch == 0 ? (++calls % 4 == 0 ? 100'000 : 0) : c.stretch;
                const std::size_t take = std::min(n, text.size() - at);
                out.append(text, at, take);
                at += take;
                return at < text.size();
            },
            1);
        EXPECT_EQ(compressed.size, c.size);
        EXPECT_EQ(compressed.crc, crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()))) << c.size;
        EXPECT_TRUE(inflated(compressed, c.size) == text) << c.size << " in stretches of " << c.stretch;
    }
    EXPECT_TRUE(inflated(Deflate::raw(std::string(3'000'000, 'q'), 9), 3'000'000) == std::string(3'000'000, 'q'));
}

// A text that cannot be made fails as its maker failed, while pieces are being compressed.
TEST(DeflateTest, AFailingMakerIsPassedOn)
{
    std::size_t calls = 0;
    EXPECT_EQ(TestSupport::errorOf([&] {
                  Deflate::generated(
                      [&](std::string& out) {
                          if (++calls == 5) throw KError("The table went away.");
                          out.append(std::size_t(700'000), 'x');
                          return true;
                      },
                      1);
              }),
              "The table went away.");
}
