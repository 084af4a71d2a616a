#include "documents/XLSX.h"

#include "core/Errors.h"
#include "documents/Package.h"
#include "documents/XLSXNamespaces.h"
#include "documents/XLSXParsers.h"

#include <cstring>
#include <functional>
#include <map>
#include <set>

namespace XLSX {

namespace {
// The first sheet's relationship id and the date system, from xl/workbook.xml.
class WorkbookHandler : public XmlStream::Handler {
public:
    std::optional<std::string> firstSheet;
    bool date1904 = false;

    void start(const char* name, const char** attributes) override
    {
        const char* local = Namespaces::main(name);
        if (!local) return;
        if (std::strcmp(local, "sheet") == 0 && !firstSheet) {
            for (const char** a = attributes; *a; a += 2) {
                const char* attribute = Namespaces::relationship(a[0]);
                if (attribute && std::strcmp(attribute, "id") == 0 && *a[1]) firstSheet = a[1];
            }
        } else if (std::strcmp(local, "workbookPr") == 0) {
            const char* value = XmlStream::attribute(attributes, "date1904");
            date1904 = value && (std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0);
        }
    }
    void end(const char*) override {}
    void text(std::string_view) override {}
};

struct Relationship {
    std::string type, target;
};

class RelationshipsHandler : public XmlStream::Handler {
public:
    std::map<std::string, Relationship> byId;

    void start(const char* name, const char** attributes) override
    {
        const char* local = XmlStream::local(name, Namespaces::package);
        if (!local || std::strcmp(local, "Relationship") != 0) return;
        const char* id = XmlStream::attribute(attributes, "Id");
        const char* type = XmlStream::attribute(attributes, "Type");
        const char* target = XmlStream::attribute(attributes, "Target");
        if (id && target && *target) byId.try_emplace(id, Relationship{type ? type : "", target});
    }
    void end(const char*) override {}
    void text(std::string_view) override {}
};

// The package path of a relationship target: relative targets start in "xl/".
std::string partPath(const std::string& target)
{
    return target.starts_with("/") ? target.substr(1) : "xl/" + target;
}

// A part's text, or none when the package lacks it.
std::optional<std::string> optionalPart(const Path& workbook, const std::set<std::string>& names, const std::string& entry)
{
    if (!names.contains(entry)) return std::nullopt;
    return Package::read(workbook, entry);
}

template <class Handler>
Handler parsed(const std::string& xml)
{
    Handler handler;
    if (!XmlStream::parse(xml, handler, XmlStream::Names::byNamespace)) throw XmlStream::Malformed();
    return handler;
}

// Where the parts of the first sheet are, and how its dates count.
struct Layout {
    std::set<std::string> names;
    std::optional<std::string> sheet;
    std::string strings = "xl/sharedStrings.xml";
    std::string styles = "xl/styles.xml";
    bool date1904 = false;
};

Layout layout(const Path& workbook)
{
    Layout found;
    found.names = Package::entryNames(workbook);
    const auto book = optionalPart(workbook, found.names, "xl/workbook.xml");
    const auto relationships = optionalPart(workbook, found.names, "xl/_rels/workbook.xml.rels");
    if (!book || !relationships) return found;
    const auto books = parsed<WorkbookHandler>(*book);
    const auto links = parsed<RelationshipsHandler>(*relationships);
    found.date1904 = books.date1904;
    for (const auto& [id, link] : links.byId) {
        if (link.type.ends_with("/sharedStrings")) found.strings = partPath(link.target);
        else if (link.type.ends_with("/styles")) found.styles = partPath(link.target);
    }
    if (books.firstSheet) {
        const auto sheet = links.byId.find(*books.firstSheet);
        if (sheet != links.byId.end()) found.sheet = partPath(sheet->second.target);
    }
    return found;
}

// Runs a reading step; a part that is not well-formed makes the whole workbook damaged.
template <class F>
auto whole(const Path& workbook, F&& step)
{
    try {
        return step();
    } catch (const XmlStream::Malformed&) {
        throw Package::damaged(workbook);
    }
}
}

std::optional<std::string> firstSheetPath(const Path& workbook)
{
    return whole(workbook, [&] { return layout(workbook).sheet; });
}

Table read(const Path& workbook)
{
    return whole(workbook, [&] {
        const Layout parts = layout(workbook);
        Book book;
        book.date1904 = parts.date1904;
        // A workbook without shared strings holds only numbers and inline texts.
        if (parts.names.contains(parts.strings)) {
            book.strings = SharedStringsParser::parseEntry(workbook, parts.strings);
        }
        if (const auto styles = optionalPart(workbook, parts.names, parts.styles)) book.styles = StylesParser::parse(*styles);
        return SheetParser::parseEntry(workbook, parts.sheet.value_or("xl/worksheets/sheet1.xml"), book);
    });
}

}
