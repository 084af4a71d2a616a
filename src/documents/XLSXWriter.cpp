#include "documents/XLSX.h"

#include "core/Errors.h"
#include "documents/Deflate.h"
#include "documents/Package.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <unordered_map>

namespace XLSX {

namespace {
const char* const contentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/></Types>)";
const char* const packageRelationships =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
const char* const workbook =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const char* const workbookRelationships =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)";
const char* const styles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts><fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills><borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs><cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles></styleSheet>)";

// What a sheet holds at most, in every application that opens the file.
constexpr std::size_t maxRows = 1'048'576;
constexpr std::size_t maxColumns = 16'384;

// 20000 as "20,000".
std::string grouped(std::size_t n)
{
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

void appendNumber(std::string& out, std::size_t n)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

// Distinct texts in order of first use; views into the table being written, which outlives it.
struct SharedStrings {
    std::unordered_map<std::string_view, std::size_t> index;
    std::vector<std::string_view> texts;

    std::size_t indexOf(std::string_view text)
    {
        const auto [it, added] = index.try_emplace(text, texts.size());
        if (added) texts.push_back(text);
        return it->second;
    }
};

// The sheet, compressed as it is made a row at a time: its text is several times the size of
// the table's.
Deflate::Compressed sheet(const Table& table, SharedStrings& strings)
{
    std::size_t width = 1;
    for (const Row& row : table) width = std::max(width, row.size());
    std::vector<std::string> letters(width);
    for (std::size_t c = 0; c < width; ++c) letters[c] = columnLetters(c);

    std::size_t r = 0;
    bool started = false;
    std::string number;
    return Deflate::generated(
        [&](std::string& xml) {
            if (!started) {
                started = true;
                xml += R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><dimension ref="A1:)";
                xml += letters[width - 1];
                appendNumber(xml, std::max<std::size_t>(table.size(), 1));
                xml += R"("/><sheetData>)";
            }
            if (r == table.size()) {
                xml += "</sheetData></worksheet>";
                return false;
            }
            number.clear();
            appendNumber(number, r + 1);
            xml += R"(<row r=")";
            xml += number;
            xml += R"(">)";
            const Row& row = table[r++];
            for (std::size_t c = 0; c < row.size(); ++c) {
                const std::string& text = row[c];
                if (text.empty()) continue;
                xml += R"(<c r=")";
                xml += letters[c];
                xml += number;
                if (CellText::isNumeric(text)) {
                    xml += R"("><v>)";
                    xml += text;
                } else {
                    xml += R"(" t="s"><v>)";
                    appendNumber(xml, strings.indexOf(text));
                }
                xml += "</v></c>";
            }
            xml += "</row>";
            return true;
        },
        1);
}

Deflate::Compressed sharedStrings(const SharedStrings& strings)
{
    std::size_t i = 0;
    bool started = false;
    return Deflate::generated(
        [&](std::string& xml) {
            if (!started) {
                started = true;
                xml += R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count=")";
                appendNumber(xml, strings.texts.size());
                xml += R"(" uniqueCount=")";
                appendNumber(xml, strings.texts.size());
                xml += R"(">)";
            }
            // Many strings at a time: each is short.
            for (const std::size_t end = std::min(strings.texts.size(), i + 1000); i < end; ++i) {
                xml += R"(<si><t xml:space="preserve">)";
                CellText::appendXml(xml, strings.texts[i]);
                xml += "</t></si>";
            }
            if (i < strings.texts.size()) return true;
            xml += "</sst>";
            return false;
        },
        1);
}
}

std::string columnLetters(std::size_t index)
{
    std::string letters;
    for (std::size_t n = index + 1; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return letters;
}

void write(const Table& table, const Path& to)
{
    std::size_t width = 0;
    for (const Row& row : table) width = std::max(width, row.size());
    if (width > maxColumns) throw KError("This table is too wide for XLSX: it has " + grouped(width) + " columns, and a sheet holds at most 16,384.");
    if (table.size() > maxRows) throw KError("This table is too long for XLSX: it has " + grouped(table.size()) + " rows, and a sheet holds at most 1,048,576.");
    SharedStrings strings;
    Package::Deflated deflated;
    // The sheet first: it decides the order of the shared strings.
    deflated["xl/worksheets/sheet1.xml"] = sheet(table, strings);
    deflated["xl/sharedStrings.xml"] = sharedStrings(strings);
    Package::Entries entries;
    entries["[Content_Types].xml"] = contentTypes;
    entries["_rels/.rels"] = packageRelationships;
    entries["xl/workbook.xml"] = workbook;
    entries["xl/_rels/workbook.xml.rels"] = workbookRelationships;
    entries["xl/styles.xml"] = styles;
    Package::write(entries, std::move(deflated), std::nullopt, to, Package::Compression::fast);
}

}
