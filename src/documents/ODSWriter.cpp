#include "documents/ODS.h"

#include "documents/Deflate.h"
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
    // The content is compressed as it is made a row at a time: its text is several times the
    // size of the table's.
    std::size_t r = 0;
    bool started = false;
    Package::Deflated deflated;
    deflated["content.xml"] = Deflate::generated(
        [&](std::string& content) {
            if (!started) {
                started = true;
                content += contentStart;
            }
            if (r == table.size()) {
                content += contentEnd;
                return false;
            }
            content += "<table:table-row>";
            for (const std::string& cell : table[r++]) appendCell(content, cell);
            content += "</table:table-row>";
            return true;
        },
        1);
    Package::write({{"META-INF/manifest.xml", manifest}}, std::move(deflated), "application/vnd.oasis.opendocument.spreadsheet", to, Package::Compression::fast);
}

}
