#include "documents/ODS.h"

#include "documents/Package.h"
#include "documents/XmlScan.h"
#include "documents/XmlStretches.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace ODS {

namespace {
constexpr std::array<std::string_view, 3> spaces = {"urn:oasis:names:tc:opendocument:xmlns:office:1.0", "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
                                                    "urn:oasis:names:tc:opendocument:xmlns:text:1.0"};
constexpr int officeSpace = 0, tableSpace = 1, textSpace = 2;

// Contents this large are read on several threads.
constexpr std::uint64_t splitFrom = std::uint64_t(4) << 20;

constexpr long long maxRowRepeat = 2000;
constexpr long long maxCellRepeat = 512;
// "text:s" has no cap of its own in the format; a paragraph that asks for millions of spaces
// is hostile, not a sheet.
constexpr long long maxSpaces = 10000;

using Attributes = std::span<const XmlScan::Attribute>;

// The attribute as an integer capped at `cap`, negative as 0, missing or malformed as 1.
std::size_t count(const std::string_view* text, long long cap)
{
    if (!text) return 1;
    const std::string_view digits(*text);
    long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || end != digits.data() + digits.size()) return 1;
    if (error == std::errc::result_out_of_range) value = digits.starts_with('-') ? 0 : cap;
    else if (error != std::errc()) return 1;
    return static_cast<std::size_t>(std::clamp(value, 0LL, cap));
}

// A duration such as "PT13H45M00S" or "P1DT2H" as "13:45:00" or "26:00:00".
std::optional<std::string> clockText(std::string_view duration)
{
    if (!duration.starts_with('P')) return std::nullopt;
    duration.remove_prefix(1);
    double seconds = 0;
    bool inTime = false, any = false;
    while (!duration.empty()) {
        if (duration.front() == 'T') {
            inTime = true;
            duration.remove_prefix(1);
            continue;
        }
        double value = 0;
        const auto [end, error] = std::from_chars(duration.data(), duration.data() + duration.size(), value, std::chars_format::fixed);
        if (error != std::errc() || end == duration.data() + duration.size() || value < 0) return std::nullopt;
        const char unit = *end;
        const double scale = !inTime && unit == 'D' ? 86400 : inTime && unit == 'H' ? 3600 : inTime && unit == 'M' ? 60 : inTime && unit == 'S' ? 1 : 0;
        if (scale == 0) return std::nullopt;
        seconds += value * scale;
        any = true;
        duration.remove_prefix(static_cast<std::size_t>(end - duration.data()) + 1);
    }
    if (!any || seconds >= 1e12) return std::nullopt;
    const long long total = std::llround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    return text;
}

// What a reader made of a stretch of the first table's rows.
struct Part {
    Table rows;
    // Empty rows after the last of `rows`, built only if rows follow in a later stretch.
    std::size_t emptyRows = 0, width = 0;
    TableLimits::Budget budget;
    // The first table ended in this stretch: later stretches hold other tables.
    bool closed = false;
};

// Empty cells and rows are only counted until something follows them, so that the repeated
// empty tail a spreadsheet carries up to its last row and column costs nothing; what the
// trimming would remove is never built.
class Parser : public XmlScan::Handler {
public:
    Parser() = default;
    // A reader of a later stretch starts inside the first table.
    explicit Parser(bool continued) : tableIndex(continued ? 1 : 0) {}

    void start(int space, std::string_view name, Attributes attributes) override
    {
        if (inCell) {
            startInCell(space, name, attributes);
            return;
        }
        const std::string_view local = space == tableSpace ? name : std::string_view();
        if (local == "table") {
            ++tableIndex;
        } else if (tableIndex != 1) {
            return;
        } else if (local == "table-row") {
            row.clear();
            rowBytes = 0;
            emptyCells = 0;
            rowRepeat = count(XmlScan::attribute(attributes, "number-rows-repeated", tableSpace), maxRowRepeat);
        } else if (local == "table-cell" || local == "covered-table-cell") {
            inCell = true;
            depth = skipped = 0;
            cell.clear();
            paragraphs = 0;
            cellRepeat = count(XmlScan::attribute(attributes, "number-columns-repeated", tableSpace), maxCellRepeat);
            isoValue = isoOf(attributes);
        }
    }

    void end(int space, std::string_view name) override
    {
        if (inCell && depth > 0) {
            --depth;
            if (skipped > 0) --skipped;
        } else if (inCell) {
            inCell = false;
            endCell();
        } else if (tableIndex == 1 && space == tableSpace && name == "table-row") {
            endRow();
        } else if (tableIndex == 1 && space == tableSpace && name == "table") {
            closed = true;
        }
    }

    void text(std::string_view text) override
    {
        // Text between a cell's paragraphs is layout, not content.
        if (inCell && depth > 0 && skipped == 0) append(text);
    }

    Table finish()
    {
        TableLimits::check(rows.size(), width);
        for (Row& r : rows) r.resize(width);
        return std::move(rows);
    }

    Part part() { return {std::move(rows), emptyRows, width, budget, closed}; }

private:
    TableLimits::Budget budget;
    Table rows;
    Row row;
    std::string cell;
    std::optional<std::string> isoValue;
    int tableIndex = 0;
    std::size_t rowRepeat = 1, cellRepeat = 1, paragraphs = 0;
    std::size_t emptyCells = 0, emptyRows = 0;
    std::size_t width = 0, rowBytes = 0;
    // Inside a cell: how deep below it, and how deep below an element whose text is not the
    // cell's (an annotation, a drawing, phonetic ruby text).
    std::size_t depth = 0, skipped = 0;
    bool inCell = false, closed = false;

    // Dates and times as ISO 8601, whatever the cell shows.
    static std::optional<std::string> isoOf(Attributes attributes)
    {
        const std::string_view* type = XmlScan::attribute(attributes, "value-type", officeSpace);
        if (type && *type == "date") {
            const std::string_view* value = XmlScan::attribute(attributes, "date-value", officeSpace);
            if (value && !value->empty()) return std::string(*value);
        } else if (type && *type == "time") {
            const std::string_view* value = XmlScan::attribute(attributes, "time-value", officeSpace);
            if (value) return clockText(*value);
        }
        return std::nullopt;
    }

    void startInCell(int space, std::string_view name, Attributes attributes)
    {
        ++depth;
        if (skipped > 0) {
            ++skipped;
            return;
        }
        const std::string_view local = space == textSpace ? name : std::string_view();
        if (depth == 1) {
            // A cell's content is its paragraphs; annotations and shapes anchored to it are not.
            if (local == "p" || local == "h") {
                if (paragraphs > 0) append("\n");
                ++paragraphs;
            } else {
                skipped = 1;
            }
        } else if (local == "s") {
            const std::size_t spaces = count(XmlScan::attribute(attributes, "c", textSpace), maxSpaces);
            TableLimits::checkBytes(cell.size() + spaces);
            cell.append(spaces, ' ');
        } else if (local == "tab") {
            append("\t");
        } else if (local == "line-break") {
            append("\n");
        } else if (local == "ruby-text" || local == "note" || space == officeSpace) {
            skipped = 1;
        }
    }

    void append(std::string_view text)
    {
        TableLimits::checkBytes(cell.size() + text.size());
        cell += text;
    }

    void endCell()
    {
        if (isoValue) cell = std::move(*isoValue);
        if (cell.empty()) {
            emptyCells += cellRepeat;
            return;
        }
        if (cellRepeat == 0) return;
        budget.addCells(emptyCells);
        budget.addCopies(cellRepeat, cell.size());
        row.resize(row.size() + emptyCells);
        row.insert(row.end(), cellRepeat, cell);
        rowBytes += cell.size() * cellRepeat;
        emptyCells = 0;
    }

    void endRow()
    {
        if (row.empty()) {
            emptyRows += rowRepeat;
            return;
        }
        if (rowRepeat == 0) return;
        TableLimits::check(rows.size() + emptyRows + rowRepeat, 1);
        budget.addCells(row.size() * (rowRepeat - 1));
        budget.addBytes(rowBytes * (rowRepeat - 1));
        rows.resize(rows.size() + emptyRows);
        rows.insert(rows.end(), rowRepeat, row);
        width = std::max(width, row.size());
        emptyRows = 0;
    }
};

// A large content part read in stretches on every core; the rows of each stretch follow those
// of the one before, with the empty rows between them.
Table inStretches(const Path& spreadsheet)
{
    std::vector<Part> parts = XmlStretches::parts<Part>(spreadsheet, "content.xml", spaces, "table:table-row", [](const XmlStretches::Stretch& stretch) {
        Parser parser(stretch.index > 0);
        XmlStretches::scan(parser, spaces, stretch);
        return parser.part();
    });

    Table rows;
    TableLimits::Budget budget;
    std::size_t emptyRows = 0, width = 0;
    for (Part& part : parts) {
        budget.add(part.budget);
        if (!part.rows.empty()) {
            TableLimits::check(rows.size() + emptyRows + part.rows.size(), 1);
            rows.resize(rows.size() + emptyRows);
            rows.insert(rows.end(), std::make_move_iterator(part.rows.begin()), std::make_move_iterator(part.rows.end()));
            emptyRows = 0;
        }
        emptyRows += part.emptyRows;
        width = std::max(width, part.width);
        if (part.closed) break;
    }
    TableLimits::check(rows.size(), width);
    for (Row& row : rows) row.resize(width);
    return rows;
}
}

Table parseContent(std::string_view xml)
{
    return XmlScan::read(spaces, [] { return Parser(); }, XmlScan::whole(xml)).finish();
}

Table read(const Path& spreadsheet)
{
    try {
        if (Package::statedSize(spreadsheet, "content.xml") >= splitFrom) {
            try {
                return inStretches(spreadsheet);
            } catch (const XmlStretches::Unsplittable&) {
            }
        }
        return XmlScan::read(spaces, [] { return Parser(); }, XmlScan::entry(spreadsheet, "content.xml")).finish();
    } catch (const XmlStream::Malformed&) {
        throw Package::damaged(spreadsheet);
    }
}

}
