#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Raw deflate (as zip entries hold it) on every core: large texts are cut into pieces that
// are compressed side by side, each primed with the end of the one before, and joined into
// one stream, as pigz does.
namespace Deflate {
struct Compressed {
    std::string bytes;
    std::uint32_t crc = 0;
};
// level 1 (fastest) to 9 (smallest).
Compressed raw(std::string_view text, int level);
}
