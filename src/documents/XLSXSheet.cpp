#include "documents/XLSXParsers.h"

#include "documents/XLSXNamespaces.h"
#include "documents/Package.h"
#include "documents/XmlScan.h"
#include "documents/XmlStretches.h"

#include <algorithm>
#include <charconv>

namespace XLSX::SheetParser {

namespace {
// Rows and columns beyond any real sheet stop counting here; the table's size limit refuses
// such a cell anyway.
constexpr long long farAway = 1LL << 40;
constexpr std::size_t maxReserve = 1024;
// Parts this large are read on several threads.
constexpr std::uint64_t splitFrom = std::uint64_t(4) << 20;

using XmlStretches::Unsplittable;

std::optional<long long> integer(std::string_view text)
{
    if (text.starts_with('+')) text.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// What a reader made of its part of a sheet.
struct Part {
    // Row `first` of the sheet and those after it.
    Table rows;
    long long first = 0;
    std::size_t width = 0;
    TableLimits::Budget budget;
    // The rows that received cells.
    long long lowest = farAway, highest = -1;
};

class Handler : public XmlScan::Handler {
public:
    // A reader of a later stretch of a sheet only knows the rows that say their number, and
    // keeps them from its first cell's row on.
    explicit Handler(const Book& book, bool numberedRowsOnly = false) : book(book), numberedRowsOnly(numberedRowsOnly), first(numberedRowsOnly ? -1 : 0) {}

    void start(int space, std::string_view local, std::span<const XmlScan::Attribute> attributes) override
    {
        if (space < 0) return;
        if (local == "c") {
            // The attributes of every cell, found in one pass.
            cellRef.clear();
            cellType.clear();
            cellStyle = 0;
            for (const XmlScan::Attribute& a : attributes) {
                if (a.space >= 0) continue;
                if (a.name == "r") cellRef = a.value;
                else if (a.name == "t") cellType = a.value;
                else if (a.name == "s") cellStyle = integer(a.value).value_or(0);
            }
            value.clear();
        } else if (local == "v") {
            capture = true;
        } else if (local == "t") {
            capture = inline_ && phonetic == 0;
        } else if (local == "is") {
            inline_ = true;
        } else if (local == "rPh") {
            ++phonetic;
        } else if (local == "row") {
            const std::string_view* r = XmlScan::attribute(attributes, "r");
            const auto number = r ? integer(*r) : std::nullopt;
            if (!number && numberedRowsOnly) throw Unsplittable();
            rowNumber = std::clamp(number ? *number : rowNumber + 1, -1LL, farAway);
            nextColumn = 0;
        }
    }
    void end(int space, std::string_view local) override
    {
        if (space < 0) return;
        if (local == "v" || local == "t") capture = false;
        else if (local == "c") endCell();
        else if (local == "is") inline_ = false;
        else if (local == "rPh") --phonetic;
    }
    void text(std::string_view text) override
    {
        if (!capture) return;
        TableLimits::checkBytes(value.size() + text.size());
        value += text;
    }

    Table finish()
    {
        for (Row& row : rows) row.resize(width);
        return std::move(rows);
    }

    Part part() { return {std::move(rows), std::max(first, 0LL), width, budget, lowest, highest}; }

private:
    const Book& book;
    bool numberedRowsOnly;
    TableLimits::Budget budget;
    Table rows;
    long long first;
    std::size_t width = 0;
    long long lowest = farAway, highest = -1;
    std::string cellRef, cellType, value;
    long long cellStyle = 0;
    bool capture = false, inline_ = false;
    int phonetic = 0;
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
        if (first < 0) first = row;
        if (row < first) throw Unsplittable();
        const auto r = static_cast<std::size_t>(row - first);
        const auto c = static_cast<std::size_t>(column);
        // The extent is checked before anything is built: one far cell would need the whole
        // grid up to it.
        TableLimits::check(static_cast<std::size_t>(first) + std::max(rows.size(), r + 1), std::max(width, c + 1));
        std::string text = cellText();
        budget.addBytes(text.size());
        lowest = std::min(lowest, row);
        highest = std::max(highest, row);
        if (rows.size() <= r) rows.resize(r + 1);
        width = std::max(width, c + 1);
        Row& cells = rows[r];
        // A row takes the width of those before it at once instead of growing cell by cell.
        if (cells.empty()) cells.reserve(std::min(width, maxReserve));
        if (cells.size() <= c) cells.resize(c + 1);
        cells[c] = std::move(text);
    }

    std::string cellText()
    {
        if (cellType == "s") {
            const auto index = integer(value);
            if (index && *index >= 0 && static_cast<unsigned long long>(*index) < book.strings.size()) return book.strings[static_cast<std::size_t>(*index)];
            return std::move(value);
        }
        if (cellType == "b") return value == "1" ? "TRUE" : "FALSE";
        if ((cellType.empty() || cellType == "n") && cellStyle > 0 && static_cast<unsigned long long>(cellStyle) < book.styles.size()) {
            const DateStyle style = book.styles[static_cast<std::size_t>(cellStyle)];
            double serial = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), serial);
            if (style != DateStyle::none && error == std::errc() && end == value.data() + value.size()) {
                if (auto date = dateText(serial, style, book.date1904)) return std::move(*date);
            }
        }
        return std::move(value);
    }
};

// A large sheet read in stretches on every core. It must turn out that every row after the
// first stretch says its number and that the stretches' rows come in order; otherwise this
// throws Unsplittable.
Table inStretches(const Path& zip, const std::string& entry, const Book& book)
{
    std::vector<Part> parts = XmlStretches::parts<Part>(zip, entry, Namespaces::mainSpaces, "row", [&](const XmlStretches::Stretch& stretch) {
        Handler handler(book, stretch.index > 0);
        XmlStretches::scan(handler, Namespaces::mainSpaces, stretch);
        return handler.part();
    });

    TableLimits::Budget budget;
    std::size_t width = 0, size = 0;
    long long highest = -1;
    for (const Part& part : parts) {
        if (part.highest < 0) continue;
        if (part.lowest <= highest) throw Unsplittable();
        highest = part.highest;
        budget.add(part.budget);
        width = std::max(width, part.width);
        size = std::max(size, static_cast<std::size_t>(part.first) + part.rows.size());
    }
    TableLimits::check(size, width);
    Table rows(size);
    for (Part& part : parts) {
        for (std::size_t r = 0; r < part.rows.size(); ++r) rows[static_cast<std::size_t>(part.first) + r] = std::move(part.rows[r]);
    }
    for (Row& row : rows) row.resize(width);
    return rows;
}
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

Table parse(std::string_view xml, const Book& book)
{
    return XmlScan::read(Namespaces::mainSpaces, [&] { return Handler(book); }, XmlScan::whole(xml)).finish();
}

Table parseEntry(const Path& zip, const std::string& entry, const Book& book)
{
    if (const std::uint64_t size = Package::statedSize(zip, entry); size >= splitFrom) {
        try {
            return inStretches(zip, entry, book);
        } catch (const Unsplittable&) {
        }
    }
    return XmlScan::read(Namespaces::mainSpaces, [&] { return Handler(book); }, XmlScan::entry(zip, entry)).finish();
}

}
