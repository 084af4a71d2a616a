#include "documents/XLSX.h"

#include "core/Errors.h"
#include "documents/Package.h"
#include "documents/XLSXParsers.h"

#include <string_view>

namespace XLSX {

namespace {
// The value of the first `attribute="…"` (non-empty) inside [from, to) of text.
std::optional<std::string> quotedValue(std::string_view text, std::size_t from, std::size_t to, std::string_view attribute)
{
    const std::string opening = std::string(attribute) + "=\"";
    for (std::size_t at = text.find(opening, from); at != std::string_view::npos && at < to; at = text.find(opening, at + 1)) {
        const std::size_t start = at + opening.size();
        const std::size_t close = text.find('"', start);
        if (close != std::string_view::npos && close > start) return std::string(text.substr(start, close - start));
    }
    return std::nullopt;
}

// The first element `<name …>` of text (up to its first ">") holding attribute, and that
// attribute's value: a plain scan rather than a regular expression, so that a large or
// hostile part costs linear time.
template <class Accept>
std::optional<std::string> firstTag(std::string_view text, std::string_view name, Accept accept)
{
    const std::string opening = "<" + std::string(name) + " ";
    for (std::size_t at = text.find(opening); at != std::string_view::npos; at = text.find(opening, at + 1)) {
        std::size_t end = text.find('>', at);
        if (end == std::string_view::npos) end = text.size();
        if (auto value = accept(at + opening.size(), end)) return value;
    }
    return std::nullopt;
}
}

std::optional<std::string> firstSheetPath(const Path& workbook)
{
    std::string relationships, book;
    try {
        relationships = Package::read(workbook, "xl/_rels/workbook.xml.rels");
        book = Package::read(workbook, "xl/workbook.xml");
    } catch (const KError&) {
        return std::nullopt;
    }
    const auto id = firstTag(book, "sheet", [&](std::size_t from, std::size_t end) { return quotedValue(book, from, end, "r:id"); });
    if (!id) return std::nullopt;
    const std::string idAttribute = "Id=\"" + *id + "\"";
    const auto target = firstTag(relationships, "Relationship", [&](std::size_t from, std::size_t end) -> std::optional<std::string> {
        const std::size_t at = relationships.find(idAttribute, from);
        if (at == std::string::npos || at >= end) return std::nullopt;
        return quotedValue(relationships, from, end, "Target");
    });
    if (!target) return std::nullopt;
    return target->starts_with("/") ? target->substr(1) : "xl/" + *target;
}

Table read(const Path& workbook)
{
    // A workbook without shared strings holds only numbers and inline texts; a failure of the
    // parser itself (too many strings) still ends the read.
    std::vector<std::string> strings;
    bool parserFailed = false;
    try {
        Package::stream(workbook, "xl/sharedStrings.xml", [&](const Path& bytes) {
            parserFailed = true;
            strings = SharedStringsParser::parseFile(bytes);
            parserFailed = false;
        });
    } catch (const KError&) {
        if (parserFailed) throw;
        strings.clear();
    }
    Table table;
    Package::stream(workbook, firstSheetPath(workbook).value_or("xl/worksheets/sheet1.xml"),
                    [&](const Path& bytes) { table = SheetParser::parseFile(bytes, strings); });
    return table;
}

}
