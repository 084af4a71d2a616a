#include "documents/XLSXParsers.h"

#include "documents/XmlStream.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace XLSX::SharedStringsParser {

namespace {
class Handler : public XmlStream::Handler {
public:
    std::vector<std::string> strings;

    void start(const char* name, const char**) override
    {
        if (std::strcmp(name, "si") == 0) current.clear();
        else if (std::strcmp(name, "t") == 0) inT = true;
    }
    void end(const char* name) override
    {
        if (std::strcmp(name, "t") == 0) {
            inT = false;
        } else if (std::strcmp(name, "si") == 0) {
            // No sheet can use more strings than it has cells.
            TableLimits::check(strings.size() + 1, 1);
            strings.push_back(std::move(current));
            current.clear();
        }
    }
    void text(std::string_view text) override
    {
        if (inT) current += text;
    }

private:
    std::string current;
    bool inT = false;
};
}

std::vector<std::string> parse(std::string_view xml)
{
    if (xml.empty()) return {};
    Handler handler;
    XmlStream::parse(xml, handler);
    return std::move(handler.strings);
}

std::vector<std::string> parseFile(const Path& file)
{
    Handler handler;
    XmlStream::parseFile(file, handler);
    return std::move(handler.strings);
}

}

namespace XLSX::SheetParser {

namespace {
// Rows and columns beyond any real sheet stop counting here; the table's size limit refuses
// such a cell anyway.
constexpr long long farAway = 1LL << 40;

std::optional<long long> integer(std::string_view text)
{
    if (text.starts_with('+')) text.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Whether an element or attribute name is this one letter; cells are the bulk of a sheet.
bool single(const char* name, char letter)
{
    return name[0] == letter && name[1] == '\0';
}

class Handler : public XmlStream::Handler {
public:
    explicit Handler(const std::vector<std::string>& strings) : strings(strings) {}

    void start(const char* name, const char** attributes) override
    {
        if (std::strcmp(name, "row") == 0) {
            const char* r = XmlStream::attribute(attributes, "r");
            const auto number = r ? integer(r) : std::nullopt;
            rowNumber = std::clamp(number ? *number : rowNumber + 1, -1LL, farAway);
            nextColumn = 0;
        } else if (single(name, 'c')) {
            // The two attributes of every cell, found in one pass.
            cellRef.clear();
            cellType.clear();
            for (const char** a = attributes; *a; a += 2) {
                if (single(a[0], 'r')) cellRef = a[1];
                else if (single(a[0], 't')) cellType = a[1];
            }
            value.clear();
        } else if (single(name, 'v') || single(name, 't')) {
            capture = true;
        }
    }
    void end(const char* name) override
    {
        if (single(name, 'v') || single(name, 't')) capture = false;
        else if (single(name, 'c')) endCell();
    }
    void text(std::string_view text) override
    {
        if (capture) value += text;
    }

    Table finish()
    {
        for (Row& row : rows) row.resize(width);
        return std::move(rows);
    }

private:
    const std::vector<std::string>& strings;
    Table rows;
    std::size_t width = 0;
    std::string cellRef, cellType, value;
    bool capture = false;
    long long rowNumber = 0;
    long long nextColumn = 0;

    void endCell()
    {
        // The reference is optional in the format: a cell without one follows the previous
        // cell of its row.
        const auto at = cellRef.empty() ? std::optional(std::pair(rowNumber - 1, nextColumn)) : position(cellRef);
        if (!at) return;
        const auto [row, column] = *at;
        nextColumn = column + 1;
        if (row < 0 || column < 0) return;
        const auto r = static_cast<std::size_t>(row);
        const auto c = static_cast<std::size_t>(column);
        TableLimits::check(std::max(rows.size(), r + 1), std::max(width, c + 1));
        if (rows.size() <= r) rows.resize(r + 1);
        width = std::max(width, c + 1);
        Row& cells = rows[r];
        if (cells.size() <= c) cells.resize(c + 1);
        cells[c] = cellText();
    }

    std::string cellText()
    {
        if (cellType == "s") {
            const auto index = integer(value);
            if (index && *index >= 0 && static_cast<unsigned long long>(*index) < strings.size()) return strings[static_cast<std::size_t>(*index)];
            return std::move(value);
        }
        if (cellType == "b") return value == "1" ? "TRUE" : "FALSE";
        return std::move(value);
    }
};
}

std::optional<std::pair<long long, long long>> position(std::string_view reference)
{
    std::size_t letters = 0;
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    while (letters < reference.size() && isLetter(reference[letters])) ++letters;
    const auto row = integer(reference.substr(letters));
    if (!row) return std::nullopt;
    long long column = 0;
    for (std::size_t i = 0; i < letters; ++i) {
        const int letter = (reference[i] & ~0x20) - 64;
        column = std::min(column * 26 + letter, farAway);
    }
    return std::pair(std::clamp(*row, 0LL, farAway) - 1, column - 1);
}

Table parse(std::string_view xml, const std::vector<std::string>& strings)
{
    Handler handler(strings);
    XmlStream::parse(xml, handler);
    return handler.finish();
}

Table parseFile(const Path& file, const std::vector<std::string>& strings)
{
    Handler handler(strings);
    XmlStream::parseFile(file, handler);
    return handler.finish();
}

}
