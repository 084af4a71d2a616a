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
// The most cells a reader builds. A sheet that names a cell far away, or a package that
// repeats rows and cells without end, would otherwise fill memory with empty cells;
// 20 million cells take about 1 GB and cover any sheet a desktop user converts.
constexpr std::size_t maxCells = 20'000'000;
// Throws KError when a rows x columns table would pass maxCells.
void check(std::size_t rows, std::size_t columns);
}

namespace CellText {
// "-"? digits ("." digits)? — the texts the workbook writers store as numbers.
bool isNumeric(std::string_view text);
// Appends text with "&", "<" and ">" escaped (quotes are left alone).
void appendEscaped(std::string& out, std::string_view text);
// The same for XML parts, which also cannot carry most control characters (they are left
// out) and would read a carriage return back as a line feed (it becomes "&#13;").
void appendXml(std::string& out, std::string_view text);
}
