#pragma once
#include "core/Paths.h"
#include "documents/Table.h"

#include <optional>
#include <string>

// Office Open XML workbooks: one sheet of cell texts written, the first sheet of any
// workbook read. No styles, formulas, number formats or dates cross this boundary.
namespace XLSX {
void write(const Table& table, const Path& to);
// The first sheet as a rectangular table; throws KError when the workbook is not a zip, has
// no such sheet, or spans more than TableLimits::maxCells.
Table read(const Path& workbook);
// The package path of the first sheet, found through the workbook's relationships.
std::optional<std::string> firstSheetPath(const Path& workbook);
// Column index 0, 25, 26 as "A", "Z", "AA".
std::string columnLetters(std::size_t index);
}
