#include "documents/SpreadsheetOps.h"

#include "core/Errors.h"
#include "documents/ODS.h"
#include "documents/Office.h"
#include "documents/TextFile.h"
#include "documents/XLSX.h"

#include <QString>

namespace SpreadsheetOps {

namespace {
// A cell is blank when nothing but spaces, tabs and other space separators fill it.
bool blank(std::string_view cell)
{
    bool ascii = true;
    for (char ch : cell) {
        if (ch == ' ' || ch == '\t') continue;
        if (static_cast<unsigned char>(ch) < 0x80) return false;
        ascii = false;
    }
    if (ascii) return true;
    const QString text = QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
    for (QChar c : text) {
        if (c != u'\t' && c.category() != QChar::Separator_Space) return false;
    }
    return true;
}

bool blank(const Row& row)
{
    for (const std::string& cell : row) {
        if (!blank(cell)) return false;
    }
    return true;
}

Table readRaw(const Path& source)
{
    const std::string ext = lowerExt(source);
    if (ext == "ods") return ODS::read(source);
    if (ext == "xlsx") return XLSX::read(source);
    if (ext == "xls" || ext == "numbers") return Office::spreadsheetRows(source);
    if (ext == "csv" || ext == "tsv") {
        // Refused before a byte is read: the text alone may pass what a table may hold.
        std::error_code ec;
        const auto size = std::filesystem::file_size(source, ec);
        if (!ec) TableLimits::checkBytes(size);
        return parseDelimited(TextFile::read(source), ext == "csv" ? ',' : '\t');
    }
    throw KError("Unsupported spreadsheet");
}
}

void trim(Table& table)
{
    while (!table.empty() && blank(table.back())) table.pop_back();
    std::size_t width = 0;
    for (const Row& row : table) {
        for (std::size_t c = row.size(); c > width; --c) {
            if (!blank(row[c - 1])) {
                width = c;
                break;
            }
        }
    }
    for (Row& row : table) {
        if (row.size() > width) row.resize(width);
    }
}

Table read(const Path& source)
{
    Table table = readRaw(source);
    trim(table);
    return table;
}

}
