#include "documents/Table.h"

#include "core/Errors.h"

namespace TableLimits {

void check(std::size_t rows, std::size_t columns)
{
    if (columns != 0 && rows > maxCells / columns) throw KError("This spreadsheet is too large to open: it spans more than 20 million cells.");
}

}

namespace CellText {

bool isNumeric(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        return i > start;
    };
    if (!digits()) return false;
    if (i == text.size()) return true;
    if (text[i] != '.') return false;
    ++i;
    return digits() && i == text.size();
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
