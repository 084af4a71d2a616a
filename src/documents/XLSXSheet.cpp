#include "documents/XLSXParsers.h"

#include "documents/XLSXNamespaces.h"
#include "documents/XmlScan.h"

#include "documents/Package.h"

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace XLSX::SheetParser {

namespace {
// Rows and columns beyond any real sheet stop counting here; the table's size limit refuses
// such a cell anyway.
constexpr long long farAway = 1LL << 40;
constexpr std::size_t maxReserve = 1024;
// Parts this large are read on several threads, in stretches of about this size.
constexpr std::uint64_t splitFrom = std::uint64_t(4) << 20;
constexpr std::size_t stretchSize = std::size_t(1) << 20;
// A head this long before the first row is not worth learning.
constexpr std::size_t maxHead = std::size_t(1) << 20;

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
    // Row `first` of the sheet and those after it.
    Table rows;
    long long first = 0;
    std::size_t width = 0, bytes = 0;
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

    Part part() { return {std::move(rows), std::max(first, 0LL), width, bytes, lowest, highest}; }

private:
    const Book& book;
    bool numberedRowsOnly;
    TableLimits::Budget budget;
    Table rows;
    long long first;
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
        if (first < 0) first = row;
        if (row < first) throw Unsplittable();
        const auto r = static_cast<std::size_t>(row - first);
        const auto c = static_cast<std::size_t>(column);
        // The extent is checked before anything is built: one far cell would need the whole
        // grid up to it.
        TableLimits::check(static_cast<std::size_t>(first) + std::max(rows.size(), r + 1), std::max(width, c + 1));
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

// One stretch of a sheet's text, cut before a row tag, and what a reader made of it.
struct Stretch {
    std::string text;
    bool last = false;
    Part part;
};

// A large sheet read on every core: one thread inflates the part, this one cuts it into
// stretches before row tags, and reading threads each read a stretch from where the part's
// head leaves a reader before its first row. It must turn out that every stretch but the last
// ends where the head left off, that every row after the first stretch says its number and
// that the stretches' rows come in order; otherwise this throws Unsplittable and the sheet is
// read whole, which also decides any failure.
Table inStretches(const Path& zip, const std::string& entry, const Book& book)
{
    std::optional<XmlScan::Scanner::Context> head;
    std::deque<Stretch> stretches;
    std::vector<std::string> spares;
    std::size_t next = 0;
    bool ended = false, failed = false;
    std::mutex mutex;
    std::condition_variable changed;
    const std::size_t readers = std::clamp(std::thread::hardware_concurrency(), 2U, 8U);

    const auto read = [&](Stretch& stretch, bool first) {
        Handler handler(book, !first);
        XmlScan::Scanner scanner = first ? XmlScan::Scanner(handler, Namespaces::mainSpaces) : XmlScan::Scanner(handler, Namespaces::mainSpaces, *head);
        scanner.feed(stretch.text);
        if (stretch.last) scanner.finish();
        else if (scanner.pause() != *head) throw Unsplittable();
        stretch.part = handler.part();
        // The same few buffers carry the whole part.
        stretch.text.clear();
        const std::lock_guard lock(mutex);
        spares.push_back(std::move(stretch.text));
    };
    const auto reader = [&] {
        for (;;) {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return next < stretches.size() || ended || failed; });
            if (failed || next == stretches.size()) return;
            const std::size_t index = next++;
            Stretch& stretch = stretches[index];
            changed.notify_all();
            lock.unlock();
            try {
                read(stretch, index == 0);
            } catch (...) {
                lock.lock();
                failed = true;
                changed.notify_all();
                return;
            }
        }
    };
    // Hands a stretch to the readers once few enough are waiting.
    const auto cut = [&](std::string text, bool last) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stretches.size() - next < readers || failed; });
        if (failed) throw Unsplittable();
        stretches.push_back({std::move(text), last, {}});
        changed.notify_all();
    };

    const auto spare = [&] {
        const std::lock_guard lock(mutex);
        std::string text;
        if (spares.empty()) {
            text.reserve(stretchSize * 2);
        } else {
            text = std::move(spares.back());
            spares.pop_back();
        }
        return text;
    };

    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < readers; ++i) threads.emplace_back(reader);
    const auto stop = [&](bool failure) {
        {
            const std::lock_guard lock(mutex);
            ended = true;
            failed = failed || failure;
            changed.notify_all();
        }
        for (std::thread& thread : threads) thread.join();
    };
    try {
        std::string text = spare();
        std::size_t searched = 0;
        Package::stream(zip, entry, [&](std::string_view piece) {
            text += piece;
            if (!head) {
                const std::size_t row = rowTag(text, 0);
                if (row == std::string_view::npos) {
                    if (text.size() > maxHead) throw Unsplittable();
                    return;
                }
                Nothing nothing;
                XmlScan::Scanner scanner(nothing, Namespaces::mainSpaces);
                scanner.feed(std::string_view(text).substr(0, row));
                head = scanner.pause();
            }
            while (text.size() > stretchSize) {
                // A row tag may straddle two pieces: its start is looked for again.
                const std::size_t at = rowTag(text, std::max(searched, stretchSize));
                if (at == std::string_view::npos) {
                    searched = text.size() - 4;
                    return;
                }
                std::string rest = spare();
                rest.append(std::string_view(text).substr(at));
                text.resize(at);
                cut(std::move(text), false);
                text = std::move(rest);
                searched = 0;
            }
        });
        cut(std::move(text), true);
    } catch (...) {
        stop(true);
        throw Unsplittable();
    }
    stop(false);
    if (failed) throw Unsplittable();

    TableLimits::Budget budget;
    std::size_t width = 0, size = 0;
    long long highest = -1;
    for (const Stretch& stretch : stretches) {
        const Part& part = stretch.part;
        if (part.highest < 0) continue;
        if (part.lowest <= highest) throw Unsplittable();
        highest = part.highest;
        budget.addBytes(part.bytes);
        width = std::max(width, part.width);
        size = std::max(size, static_cast<std::size_t>(part.first) + part.rows.size());
    }
    TableLimits::check(size, width);
    Table rows(size);
    for (Stretch& stretch : stretches) {
        Part& part = stretch.part;
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
