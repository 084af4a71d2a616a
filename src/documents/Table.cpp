#include "documents/Table.h"

#include "core/Errors.h"

namespace TableLimits {

void check(std::size_t rows, std::size_t columns)
{
    if (columns != 0 && rows > maxCells / columns) throw KError("This spreadsheet is too large to open: it spans more than 20 million cells.");
}

void checkBytes(std::size_t bytes)
{
    if (bytes > maxBytes) throw KError("This spreadsheet is too large to open: its cells hold more than 500 MB of text.");
}

void Budget::addCells(std::size_t count)
{
    if (count > maxCells - cells_) check(maxCells + 1, 1);
    cells_ += count;
}

void Budget::addBytes(std::size_t count)
{
    if (count > maxBytes - bytes_) checkBytes(maxBytes + 1);
    bytes_ += count;
}

void Budget::addCopies(std::size_t count, std::size_t bytes)
{
    addCells(count);
    if (bytes != 0 && count > maxBytes / bytes) checkBytes(maxBytes + 1);
    addBytes(count * bytes);
}

void Budget::add(const Budget& other)
{
    addCells(other.cells_);
    addBytes(other.bytes_);
}

}

namespace CellText {

bool isNumeric(std::string_view text)
{
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    std::size_t significant = 0;
    bool seenNonZero = false;
    const auto digits = [&] {
        const std::size_t start = i;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            seenNonZero = seenNonZero || text[i] != '0';
            if (seenNonZero) ++significant;
        }
        return i > start;
    };
    const std::size_t integerStart = i;
    if (!digits()) return false;
    if (text[integerStart] == '0' && i - integerStart > 1) return false;
    if (i < text.size()) {
        if (text[i] != '.') return false;
        ++i;
        if (!digits() || i != text.size()) return false;
    }
    return significant <= 15 && !(negative && !seenNonZero);
}

namespace {
// replacement(text, i) gives the text for the byte at i ("" drops it), or nullptr to copy it.
template <class Replacement>
void appendReplaced(std::string& out, std::string_view text, Replacement replacement)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* entity = replacement(text, i);
        if (!entity) continue;
        out.append(text, start, i - start);
        out += entity;
        start = i + 1;
    }
    out.append(text, start);
}

const char* markup(std::string_view text, std::size_t i)
{
    switch (text[i]) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    default: return nullptr;
    }
}

const char* xml(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r') return "&#13;";
    if (c < 0x20 && c != '\t' && c != '\n') return "";
    // U+FFFE and U+FFFF (EF BF BE/BF) are not XML characters either: drop their lead byte
    // here and the two continuation bytes below.
    const auto at = [&](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0; };
    if (c == 0xEF && at(i + 1) == 0xBF && (at(i + 2) & 0xFE) == 0xBE) return "";
    if (i >= 1 && at(i - 1) == 0xEF && c == 0xBF && (at(i + 1) & 0xFE) == 0xBE) return "";
    if (i >= 2 && at(i - 2) == 0xEF && at(i - 1) == 0xBF && (c & 0xFE) == 0xBE) return "";
    return markup(text, i);
}
}

void appendEscaped(std::string& out, std::string_view text)
{
    appendReplaced(out, text, markup);
}

void appendXml(std::string& out, std::string_view text)
{
    appendReplaced(out, text, xml);
}

}
