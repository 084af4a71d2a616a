#include "documents/XLSXParsers.h"

#include "documents/XLSXNamespaces.h"
#include "documents/XmlScan.h"

#include "documents/Package.h"

#include <algorithm>
#include <charconv>
#include <atomic>
#include <thread>

namespace XLSX::SheetParser {

namespace {
// Rows and columns beyond any real sheet stop counting here; the table's size limit refuses
// such a cell anyway.
constexpr long long farAway = 1LL << 40;
constexpr std::size_t maxReserve = 1024;
// Parts this large are read on two threads.
constexpr std::uint64_t splitFrom = std::uint64_t(4) << 20;

// Thrown where reading a sheet in two halves does not fit the sheet; it is then read whole.
struct Unsplittable {};

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
    Table rows;
    std::size_t width = 0, bytes = 0;
    // The rows that received cells.
    long long lowest = farAway, highest = -1;
};

class Handler : public XmlScan::Handler {
public:
    // A reader of a sheet's second half only knows the rows that say their number.
    explicit Handler(const Book& book, bool numberedRowsOnly = false) : book(book), numberedRowsOnly(numberedRowsOnly) {}

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

    Part part() { return {std::move(rows), width, bytes, lowest, highest}; }

private:
    const Book& book;
    bool numberedRowsOnly;
    TableLimits::Budget budget;
    Table rows;
    std::size_t width = 0, bytes = 0;
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
        const auto r = static_cast<std::size_t>(row);
        const auto c = static_cast<std::size_t>(column);
        // The extent is checked before anything is built: one far cell would need the whole
        // grid up to it.
        TableLimits::check(std::max(rows.size(), r + 1), std::max(width, c + 1));
        std::string text = cellText();
        budget.addBytes(text.size());
        bytes += text.size();
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
// The first row tag in `data` at or after `from`.
std::size_t rowTag(std::string_view data, std::size_t from)
{
    for (std::size_t at = data.find("<row", from); at != std::string_view::npos; at = data.find("<row", at + 1)) {
        if (at + 4 < data.size() && (data[at + 4] == ' ' || data[at + 4] == '>' || data[at + 4] == '/')) return at;
    }
    return std::string_view::npos;
}

// Ignores what it reads: the sheet's head is read once more only to learn where rows stand.
struct Nothing : XmlScan::Handler {
    void start(int, std::string_view, std::span<const XmlScan::Attribute>) override {}
    void end(int, std::string_view) override {}
    void text(std::string_view) override {}
};

// Rethrows a reader's failure: as Unsplittable where reading whole may still succeed.
void rethrow(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const XmlScan::Unsupported&) {
        throw Unsplittable();
    }
}

// Where a reading of the part is cut: at the first row tag of the piece at or after the
// middle; both readings see the same pieces and so cut at the same place.
struct Cut {
    std::uint64_t middle, seen = 0;

    std::size_t in(std::string_view piece)
    {
        const std::uint64_t start = seen;
        seen += piece.size();
        if (seen <= middle) return std::string_view::npos;
        return rowTag(piece, start >= middle ? 0 : static_cast<std::size_t>(middle - start));
    }
};

// Ends a reading of the part early.
struct Stop {};

// A large sheet read on two threads, each inflating the part for itself: the first reads up
// to a row tag near the middle, the second from there on, starting where the part's head
// leaves a reader before its first row. It must turn out that the first reader ended where
// the head left off, that every row of the second half says its number and that the halves'
// rows don't meet; otherwise this throws Unsplittable and the sheet is read whole.
Table halves(const Path& zip, const std::string& entry, const Book& book, std::uint64_t size)
{
    Handler secondHandler(book, true);
    std::optional<XmlScan::Scanner::Context> head;
    std::atomic<bool> abandoned = false;
    bool cutSecond = false;
    std::exception_ptr secondFailure;
    std::thread second([&] {
        try {
            Cut cut{size / 2};
            std::string start;
            std::optional<XmlScan::Scanner> scanner;
            Package::stream(zip, entry, [&](std::string_view piece) {
                if (abandoned) throw Stop();
                if (scanner) return scanner->feed(piece);
                // Where rows start is learnt from the part's first pieces.
                if (!head && start.size() < (1 << 20)) {
                    start += piece;
                    if (const std::size_t row = rowTag(start, 0); row != std::string_view::npos) {
                        Nothing nothing;
                        XmlScan::Scanner reader(nothing, Namespaces::mainSpaces);
                        reader.feed(std::string_view(start).substr(0, row));
                        head = reader.pause();
                    }
                }
                const std::size_t at = cut.in(piece);
                if (at == std::string_view::npos) return;
                if (!head) throw Unsplittable();
                cutSecond = true;
                scanner.emplace(secondHandler, Namespaces::mainSpaces, *head);
                scanner->feed(piece.substr(at));
            });
            if (scanner) scanner->finish();
        } catch (const Stop&) {
        } catch (...) {
            secondFailure = std::current_exception();
        }
    });
    Handler firstHandler(book);
    bool cutFirst = false;
    try {
        Cut cut{size / 2};
        XmlScan::Scanner scanner(firstHandler, Namespaces::mainSpaces);
        try {
            Package::stream(zip, entry, [&](std::string_view piece) {
                const std::size_t at = cut.in(piece);
                scanner.feed(piece.substr(0, at));
                if (at != std::string_view::npos) throw Stop();
            });
        } catch (const Stop&) {
            cutFirst = true;
        }
        if (!cutFirst) scanner.finish();
        second.join();
        if (cutFirst && (!head || !cutSecond || scanner.pause() != *head)) throw Unsplittable();
    } catch (...) {
        abandoned = true;
        if (second.joinable()) second.join();
        rethrow(std::current_exception());
    }
    if (!cutFirst) return firstHandler.finish();
    if (secondFailure) rethrow(secondFailure);

    Part one = firstHandler.part(), two = secondHandler.part();
    if (one.highest >= two.lowest) throw Unsplittable();
    TableLimits::Budget budget;
    budget.addBytes(one.bytes);
    budget.addBytes(two.bytes);
    const std::size_t width = std::max(one.width, two.width);
    Table rows = std::move(one.rows);
    rows.resize(std::max(rows.size(), two.rows.size()));
    TableLimits::check(rows.size(), width);
    for (std::size_t r = static_cast<std::size_t>(std::max(two.lowest, 0LL)); r < two.rows.size(); ++r) rows[r] = std::move(two.rows[r]);
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
            return halves(zip, entry, book, size);
        } catch (const Unsplittable&) {
        }
    }
    return XmlScan::read(Namespaces::mainSpaces, [&] { return Handler(book); }, XmlScan::entry(zip, entry)).finish();
}

}
