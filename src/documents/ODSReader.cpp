#include "documents/ODS.h"

#include "documents/Package.h"
#include "documents/XmlStream.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace ODS {

namespace {
constexpr long long maxRowRepeat = 2000;
constexpr long long maxCellRepeat = 512;
// "text:s" has no cap of its own in the format; a paragraph that asks for millions of spaces
// is hostile, not a sheet.
constexpr long long maxSpaces = 10000;

// The attribute as an integer capped at `cap`, negative as 0, missing or malformed as 1.
std::size_t count(const char** attributes, const char* name, long long cap)
{
    const char* text = XmlStream::attribute(attributes, name);
    if (!text) return 1;
    const std::string_view digits(text);
    long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || end != digits.data() + digits.size()) return 1;
    if (error == std::errc::result_out_of_range) value = digits.starts_with('-') ? 0 : cap;
    else if (error != std::errc()) return 1;
    return static_cast<std::size_t>(std::clamp(value, 0LL, cap));
}

bool is(const char* name, const char* expected)
{
    return std::strcmp(name, expected) == 0;
}

// Empty cells and rows are only counted until something follows them, so that the repeated
// empty tail a spreadsheet carries up to its last row and column costs nothing; what the
// trimming would remove is never built.
class Parser : public XmlStream::Handler {
public:
    void start(const char* name, const char** attributes) override
    {
        if (is(name, "table:table")) {
            ++tableIndex;
        } else if (tableIndex != 1) {
            return;
        } else if (is(name, "table:table-row")) {
            row.clear();
            emptyCells = 0;
            rowRepeat = count(attributes, "table:number-rows-repeated", maxRowRepeat);
        } else if (is(name, "table:table-cell") || is(name, "table:covered-table-cell")) {
            inCell = true;
            cell.clear();
            paragraphs = 0;
            cellRepeat = count(attributes, "table:number-columns-repeated", maxCellRepeat);
        } else if (!inCell) {
            return;
        } else if (is(name, "text:p")) {
            if (paragraphs > 0) cell += '\n';
            ++paragraphs;
        } else if (is(name, "text:s")) {
            cell.append(count(attributes, "text:c", maxSpaces), ' ');
        } else if (is(name, "text:tab")) {
            cell += '\t';
        } else if (is(name, "text:line-break")) {
            cell += '\n';
        }
    }

    void end(const char* name) override
    {
        if (tableIndex != 1) return;
        if (is(name, "table:table-cell") || is(name, "table:covered-table-cell")) {
            inCell = false;
            if (cell.empty()) {
                emptyCells += cellRepeat;
                return;
            }
            if (cellRepeat == 0) return;
            grow(emptyCells + cellRepeat);
            row.resize(row.size() + emptyCells);
            row.insert(row.end(), cellRepeat, cell);
            emptyCells = 0;
        } else if (is(name, "table:table-row")) {
            if (row.empty()) {
                emptyRows += rowRepeat;
                return;
            }
            if (rowRepeat == 0) return;
            TableLimits::check(rows.size() + emptyRows + rowRepeat, 1);
            grow(row.size() * (rowRepeat - 1));
            rows.resize(rows.size() + emptyRows);
            rows.insert(rows.end(), rowRepeat, row);
            width = std::max(width, row.size());
            emptyRows = 0;
        }
    }

    void text(std::string_view text) override
    {
        if (inCell) cell += text;
    }

    Table finish()
    {
        TableLimits::check(rows.size(), width);
        for (Row& r : rows) r.resize(width);
        return std::move(rows);
    }

private:
    Table rows;
    Row row;
    std::string cell;
    int tableIndex = 0;
    std::size_t rowRepeat = 1, cellRepeat = 1, paragraphs = 0;
    std::size_t emptyCells = 0, emptyRows = 0;
    std::size_t width = 0, cells = 0;
    bool inCell = false;

    // Counts the cells built so far, refusing a sheet that passes the limit.
    void grow(std::size_t more)
    {
        cells += more;
        TableLimits::check(cells, 1);
    }
};
}

Table parseContent(std::string_view xml)
{
    Parser parser;
    XmlStream::parse(xml, parser);
    return parser.finish();
}

Table parseContentFile(const Path& file)
{
    Parser parser;
    XmlStream::parseFile(file, parser);
    return parser.finish();
}

Table read(const Path& spreadsheet)
{
    Table table;
    Package::stream(spreadsheet, "content.xml", [&](const Path& bytes) { table = parseContentFile(bytes); });
    return table;
}

}
