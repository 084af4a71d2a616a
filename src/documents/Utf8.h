#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Utf8 {
// One multi-byte character: its length in bytes and its code point.
struct Sequence {
    std::size_t length = 0;
    std::uint32_t character = 0;
};

// The well-formed multi-byte sequence at `at` (no overlong forms, surrogates or code points
// beyond U+10FFFF); length 0 when there is none.
inline Sequence sequenceAt(std::string_view s, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(s[at]);
    Sequence found;
    if (lead >= 0xC2 && lead <= 0xDF) found = {2, lead & 0x1Fu};
    else if (lead >= 0xE0 && lead <= 0xEF) found = {3, lead & 0x0Fu};
    else if (lead >= 0xF0 && lead <= 0xF4) found = {4, lead & 0x07u};
    else return {};
    if (at + found.length > s.size()) return {};
    for (std::size_t k = 1; k < found.length; ++k) {
        const auto next = static_cast<unsigned char>(s[at + k]);
        if ((next & 0xC0) != 0x80) return {};
        found.character = found.character << 6 | (next & 0x3F);
    }
    const std::uint32_t c = found.character;
    const bool overlong = (found.length == 3 && c < 0x800) || (found.length == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
    return found;
}
}
