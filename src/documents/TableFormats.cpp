#include "documents/SpreadsheetOps.h"

#include <nlohmann/json.hpp>

namespace SpreadsheetOps {

std::string tableHTML(const Table& table, int fontSize)
{
    std::string html = "<!doctype html><meta charset=\"utf-8\"><style>table{border-collapse:collapse;font:" + std::to_string(fontSize) +
                       "px -apple-system,'Helvetica Neue',Helvetica,sans-serif}td,th{border:1px solid #ccc;padding:4px 8px}th{background:#f3f3f3}</style><table>\n";
    for (std::size_t r = 0; r < table.size(); ++r) {
        const char* tag = r == 0 ? "th" : "td";
        html += "<tr>";
        for (const std::string& cell : table[r]) {
            html += std::string("<") + tag + ">";
            CellText::appendEscaped(html, cell);
            html += std::string("</") + tag + ">";
        }
        html += "</tr>\n";
    }
    html += "</table>\n";
    return html;
}

std::string tableJSON(const Table& table)
{
    nlohmann::json objects = nlohmann::json::array();
    for (std::size_t r = 1; r < table.size(); ++r) {
        const Row& header = table.front();
        const Row& row = table[r];
        nlohmann::json object = nlohmann::json::object();
        for (std::size_t c = 0; c < header.size(); ++c) {
            const std::string key = header[c].empty() ? "column" + std::to_string(c + 1) : header[c];
            object[key] = c < row.size() ? row[c] : std::string();
        }
        objects.push_back(std::move(object));
    }
    return objects.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string tableMarkdown(const Table& table)
{
    std::size_t width = 0;
    for (const Row& row : table) width = std::max(width, row.size());
    const auto render = [width](const Row& row) {
        std::string line = "| ";
        for (std::size_t c = 0; c < width; ++c) {
            if (c > 0) line += " | ";
            if (c >= row.size()) continue;
            for (char ch : row[c]) {
                if (ch == '|') line += '\\';
                line += ch;
            }
        }
        return line + " |\n";
    };
    std::string md = render(table.empty() ? Row{} : table.front());
    md += "|";
    for (std::size_t c = 0; c < width; ++c) md += " --- |";
    md += "\n";
    for (std::size_t r = 1; r < table.size(); ++r) md += render(table[r]);
    return md;
}

}
