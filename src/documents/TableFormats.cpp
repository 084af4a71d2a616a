#include "documents/SpreadsheetOps.h"

#include <nlohmann/json.hpp>

#include <set>

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
    if (table.empty()) return objects.dump();
    // One key per column, also for cells beyond the header: an empty header cell becomes
    // "column" and its number, and a repeated key gets "_2", "_3"… so that no value is lost.
    std::size_t width = 0;
    for (const Row& row : table) width = std::max(width, row.size());
    const Row& header = table.front();
    std::vector<std::string> keys;
    std::set<std::string> taken;
    for (std::size_t c = 0; c < width; ++c) {
        const std::string base = c < header.size() && !header[c].empty() ? header[c] : "column" + std::to_string(c + 1);
        std::string key = base;
        for (int n = 2; !taken.insert(key).second; ++n) key = base + "_" + std::to_string(n);
        keys.push_back(std::move(key));
    }
    for (std::size_t r = 1; r < table.size(); ++r) {
        const Row& row = table[r];
        nlohmann::json object = nlohmann::json::object();
        for (std::size_t c = 0; c < std::max(header.size(), row.size()); ++c) object[keys[c]] = c < row.size() ? row[c] : std::string();
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
            // A line break would end the table row: it is written as the HTML break that
            // Markdown tables allow.
            const std::string& cell = row[c];
            for (std::size_t i = 0; i < cell.size(); ++i) {
                const char ch = cell[i];
                if (ch == '\r' || ch == '\n') {
                    line += "<br>";
                    if (ch == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n') ++i;
                    continue;
                }
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
