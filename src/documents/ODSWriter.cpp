#include "documents/ODS.h"

#include "documents/Package.h"

namespace ODS {

namespace {
const char* const contentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "office:version=\"1.2\"><office:body><office:spreadsheet><table:table table:name=\"Sheet1\">";
const char* const contentEnd = "</table:table></office:spreadsheet></office:body></office:document-content>";
const char* const manifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.2\">\n"
    "  <manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>\n"
    "  <manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>\n"
    "</manifest:manifest>";

// Office applications collapse white space inside a paragraph, so runs of spaces, spaces at
// either end, tabs and line feeds are written as the elements that keep them.
void appendParagraphText(std::string& out, std::string_view text)
{
    std::size_t start = 0;
    const auto flush = [&](std::size_t end) {
        CellText::appendXml(out, text.substr(start, end - start));
    };
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\t' || c == '\n') {
            flush(i);
            out += c == '\t' ? "<text:tab/>" : "<text:line-break/>";
            start = ++i;
            continue;
        }
        if (c != ' ') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && text[end] == ' ') ++end;
        const bool edge = i == 0 || end == text.size();
        if (end - i == 1 && !edge) {
            i = end;
            continue;
        }
        flush(i);
        const std::size_t kept = edge ? 0 : 1;
        out.append(kept, ' ');
        const std::size_t count = end - i - kept;
        out += count == 1 ? "<text:s/>" : "<text:s text:c=\"" + std::to_string(count) + "\"/>";
        start = i = end;
    }
    flush(text.size());
}

void appendCell(std::string& out, const std::string& text)
{
    if (text.empty()) {
        out += "<table:table-cell/>";
    } else if (CellText::isNumeric(text)) {
        out += "<table:table-cell office:value-type=\"float\" office:value=\"" + text + "\"><text:p>" + text + "</text:p></table:table-cell>";
    } else {
        out += "<table:table-cell office:value-type=\"string\"><text:p>";
        appendParagraphText(out, text);
        out += "</text:p></table:table-cell>";
    }
}
}

void write(const Table& table, const Path& to)
{
    std::size_t bytes = 0;
    for (const Row& row : table) {
        for (const std::string& cell : row) bytes += cell.size() * 2 + 90;
    }
    std::string content;
    content.reserve(bytes + table.size() * 40 + 600);
    content += contentStart;
    for (const Row& row : table) {
        content += "<table:table-row>";
        for (const std::string& cell : row) appendCell(content, cell);
        content += "</table:table-row>";
    }
    content += contentEnd;
    Package::Entries entries;
    entries["content.xml"] = std::move(content);
    entries["META-INF/manifest.xml"] = manifest;
    Package::write(entries, "application/vnd.oasis.opendocument.spreadsheet", to, Package::Compression::fast);
}

}
