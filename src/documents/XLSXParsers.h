#pragma once
#include "core/Paths.h"
#include "documents/Table.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The readers behind XLSX::read. Names are matched by namespace (any prefix, transitional or
// strict SpreadsheetML); a part that is not well-formed XML throws XmlStream::Malformed.
namespace XLSX {
// How a cell style shows a number: as itself, or as a date, a time of day, both, or a
// duration ("[h]:mm").
enum class DateStyle : unsigned char { none, date, time, dateTime, duration };

// What the cells of a sheet refer to.
struct Book {
    std::vector<std::string> strings;
    // By cell style index ("s" attribute).
    std::vector<DateStyle> styles;
    // Serial numbers count days from 1904-01-01 instead of from 1900.
    bool date1904 = false;
};

// What a number format code shows; only its first section counts.
DateStyle dateStyle(std::string_view formatCode);
// A date serial number as ISO 8601 text ("2024-03-15", "13:45:00", "2024-03-15T13:45:00",
// "36:00:00"); none outside the years 1900 to 9999.
std::optional<std::string> dateText(double serial, DateStyle style, bool date1904);
}

namespace XLSX::SharedStringsParser {
// Each item's text elements joined (rich-text runs included, phonetic runs left out).
std::vector<std::string> parse(std::string_view xml);
// The same read from a zip entry as it is inflated.
std::vector<std::string> parseEntry(const Path& zip, const std::string& entry);
}

namespace XLSX::StylesParser {
// The DateStyle of every cell style, in index order.
std::vector<DateStyle> parse(std::string_view xml);
}

namespace XLSX::SheetParser {
// The cells as a rectangular table from A1 to the farthest cell, gaps filled with "".
Table parse(std::string_view xml, const Book& book);
Table parseEntry(const Path& zip, const std::string& entry, const Book& book);
// "B3" as (2, 1); no letters gives column -1 and row 0 gives row -1 (both ignored by the
// table); none when the part after the letters is not a decimal integer.
std::optional<std::pair<long long, long long>> position(std::string_view reference);
}
