#include "documents/XLSXParsers.h"

#include "documents/XLSXNamespaces.h"
#include "documents/XmlScan.h"

#include <algorithm>
#include <charconv>

namespace XLSX::SheetParser {

namespace {
// Rows and columns beyond any real sheet stop counting here; the table's size limit refuses
// such a cell anyway.
constexpr long long farAway = 1LL << 40;
constexpr std::size_t maxReserve = 1024;

std::optional<long long> integer(std::string_view text)
{
    if (text.starts_with('+')) text.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

class Handler : public XmlScan::Handler {
public:
    explicit Handler(const Book& book) : book(book) {}

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

private:
    const Book& book;
    TableLimits::Budget budget;
    Table rows;
    std::size_t width = 0;
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
        const auto r = static_cast<std::size_t>(row);
        const auto c = static_cast<std::size_t>(column);
        // The extent is checked before anything is built: one far cell would need the whole
        // grid up to it.
        TableLimits::check(std::max(rows.size(), r + 1), std::max(width, c + 1));
        std::string text = cellText();
        budget.addBytes(text.size());
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
    return XmlScan::read(Namespaces::mainSpaces, [&] { return Handler(book); }, XmlScan::entry(zip, entry)).finish();
}

}
