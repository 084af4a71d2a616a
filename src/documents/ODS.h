#pragma once
#include "core/Paths.h"
#include "documents/Table.h"

#include <string_view>

// OpenDocument spreadsheets: one sheet of cell texts written, the displayed texts of the first
// sheet of any spreadsheet read.
namespace ODS {
void write(const Table& table, const Path& to);
// Throws the package's KError for a file that is not a zip, has no content.xml or a damaged
// one, and KError when the sheet passes the TableLimits.
Table read(const Path& spreadsheet);
// The first table of a content.xml, repeats capped, empty tail rows and columns trimmed,
// every row padded to the same width; dates and times as ISO 8601. Throws
// XmlStream::Malformed for an incomplete or malformed document.
Table parseContent(std::string_view xml);
}
