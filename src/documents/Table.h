#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The neutral table every spreadsheet reader produces and every writer consumes: rows of cell
// texts, rows of any length.
using Row = std::vector<std::string>;
using Table = std::vector<Row>;

namespace TableLimits {
// What a reader builds at most. A sheet that names a cell far away, a package that repeats
// rows and cells without end, or one long text used in many cells would otherwise fill
// memory from a small file; 20 million cells take about 1 GB and cover any sheet a desktop
// user converts, and so do 500 MB of cell text.
constexpr std::size_t maxCells = 20'000'000;
constexpr std::size_t maxBytes = 500'000'000;
// Throws KError when a rows x columns table would pass maxCells.
void check(std::size_t rows, std::size_t columns);
// Throws KError when that much cell text would pass maxBytes.
void checkBytes(std::size_t bytes);

// What a reader has built so far; adding refuses what would pass a limit before it is built.
class Budget {
public:
    void addCells(std::size_t count);
    void addBytes(std::size_t count);
    // count cells of `bytes` bytes each.
    void addCopies(std::size_t count, std::size_t bytes);
    // What another reader built, for a table read in parts.
    void add(const Budget& other);

private:
    std::size_t cells_ = 0;
    std::size_t bytes_ = 0;
};
}

namespace CellText {
// The texts the workbook writers store as numbers: "-"? digits ("." digits)?, and only when
// a spreadsheet shows the number exactly as written: no leading zero ("007" is an ID, not 7),
// at most 15 significant digits (a 20-digit account number would lose its last ones) and no
// negative zero.
bool isNumeric(std::string_view text);
// Appends text with "&", "<" and ">" escaped (quotes are left alone).
void appendEscaped(std::string& out, std::string_view text);
// The same for XML parts, which also cannot carry most control characters (they are left
// out) and would read a carriage return back as a line feed (it becomes "&#13;").
void appendXml(std::string& out, std::string_view text);
}
