#pragma once
#include "core/Paths.h"
#include "documents/Table.h"

#include <optional>
#include <string>

// Office Open XML workbooks: one sheet of cell texts written, the first sheet of any
// workbook read. No styles, formulas or number formats cross this boundary, except that
// cells styled as dates or times read as ISO 8601.
namespace XLSX {
// Throws KError for a table larger than a sheet can hold.
void write(const Table& table, const Path& to);
// The first sheet as a rectangular table; throws KError when the workbook is not a zip, has
// no such sheet, a damaged part, or passes the TableLimits.
Table read(const Path& workbook);
// The package path of the first sheet, found through the workbook's relationships.
std::optional<std::string> firstSheetPath(const Path& workbook);
// Column index 0, 25, 26 as "A", "Z", "AA".
std::string columnLetters(std::size_t index);
}
