#pragma once
#include "core/Paths.h"
#include "documents/Table.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Everything tabular: reading any supported spreadsheet into a Table, writing a Table in
// eight formats, and the two options the catalog offers (convert, dedupe).
namespace SpreadsheetOps {
// The convert targets in wheel order.
extern const std::vector<std::string> targets;

// CSV/TSV dialect: quotes as in RFC 4180 but forgiving (text after a closing quote continues
// the field, an unterminated quote takes the rest of the text); fails only for a text past
// the TableLimits.
Table parseDelimited(std::string_view text, char separator);
std::string delimited(const Table& table, std::string_view separator);
// A stand-alone page with one table, the first row as headings.
std::string tableHTML(const Table& table, int fontSize);
// An array of objects keyed by the first row, keys sorted, indented by 2.
std::string tableJSON(const Table& table);
std::string tableMarkdown(const Table& table);

// Trailing blank rows removed and rows cut to the last column that has content anywhere;
// cells are never trimmed.
void trim(Table& table);

// Reads a csv, tsv (decoded as TextFile does), xlsx, ods, or (through LibreOffice Calc) xls
// or numbers file by its extension, trimmed;
// KError "Unsupported spreadsheet" for anything else.
Table read(const Path& source);
// Writes by target extension; KError "Can't write .<ext>" for unknown ones.
void write(const Table& table, const Path& to, const std::string& ext);

// Converts to a new file beside the source; returns it.
Path convert(const Path& source, const std::string& ext);

struct Deduped {
    Path output;
    std::size_t removed = 0;
};
// Writes the rows without repeats (first occurrence kept, in order) to "<name>
// (deduplicated)" in the source's own format.
Deduped dedupe(const Path& source);
}
