#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Raw deflate (as zip entries hold it) on every core: large texts are cut into pieces that
// are compressed side by side, each primed with the end of the one before, and joined into
// one stream, as pigz does.
namespace Deflate {
struct Compressed {
    // One deflate stream, in the order of its pieces.
    std::vector<std::string> pieces;
    std::uint32_t crc = 0;
    // Of the text before compression.
    std::size_t size = 0;
};
// Appends the next stretch of a text to `out`; false once the text is complete (its end
// appended).
using Generator = std::function<bool(std::string& out)>;
// level 1 (fastest) to 9 (smallest).
Compressed raw(std::string_view text, int level);
// A text made stretch by stretch, compressed while the rest is being made, so that the whole
// text is never held at once. What `next` throws is passed on.
Compressed generated(const Generator& next, int level);
}
