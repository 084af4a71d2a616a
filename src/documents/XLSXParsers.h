#pragma once
#include "core/Paths.h"
#include "documents/Table.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// The two readers behind XLSX::read. Element names are compared as written, prefixes
// included; malformed XML yields what was read before the fault.
namespace XLSX::SharedStringsParser {
// Each item's text elements joined (rich-text and phonetic runs included).
std::vector<std::string> parse(std::string_view xml);
std::vector<std::string> parseFile(const Path& file);
}

namespace XLSX::SheetParser {
// The cells as a rectangular table from A1 to the farthest cell, gaps filled with "".
Table parse(std::string_view xml, const std::vector<std::string>& strings);
Table parseFile(const Path& file, const std::vector<std::string>& strings);
// "B3" as (2, 1); no letters gives column -1 and row 0 gives row -1 (both ignored by the
// table); none when the part after the letters is not a decimal integer.
std::optional<std::pair<long long, long long>> position(std::string_view reference);
}
