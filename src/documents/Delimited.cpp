#include "documents/SpreadsheetOps.h"

#include <QTextBoundaryFinder>

#include <array>

namespace SpreadsheetOps {

namespace {
bool ascii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

bool continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Whether the ASCII character at i is a user-perceived character of its own. The text is
// walked by grapheme clusters: a quote or separator followed by a combining mark, or led by
// a prepended mark, is ordinary text. Between ASCII neighbours it always stands alone, so
// the cluster rules are consulted only beside other scripts.
bool standsAlone(std::string_view text, std::size_t i)
{
    std::size_t from = i, to = i + 1;
    if (from > 0 && !ascii(text[from - 1])) {
        --from;
        while (from > 0 && i - from < 4 && continuation(text[from])) --from;
    }
    if (to < text.size() && !ascii(text[to])) {
        ++to;
        while (to < text.size() && to - i < 5 && continuation(text[to])) ++to;
    }
    if (from == i && to == i + 1) return true;
    const QString window = QString::fromUtf8(text.data() + from, static_cast<qsizetype>(to - from));
    const qsizetype at = QString::fromUtf8(text.data() + from, static_cast<qsizetype>(i - from)).size();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window);
    finder.setPosition(at);
    if (!finder.isAtBoundary()) return false;
    finder.setPosition(at + 1);
    return finder.isAtBoundary();
}

// Builds the table.
struct Builder {
    Table rows;
    Row row;
    std::string field;

    void append(std::string_view text) { field += text; }
    void append(char c) { field += c; }
    bool fieldEmpty() const { return field.empty(); }
    bool pending() const { return !field.empty() || !row.empty(); }
    void endField()
    {
        row.push_back(std::move(field));
        field.clear();
    }
    void endRow()
    {
        endField();
        rows.push_back(std::move(row));
        row.clear();
    }
};

// Counts what Builder would build, refusing a table past the limits before it is built.
struct Counter {
    TableLimits::Budget budget;
    std::size_t fieldBytes = 0, rowCells = 0;

    void append(std::string_view text) { fieldBytes += text.size(); }
    void append(char) { ++fieldBytes; }
    bool fieldEmpty() const { return fieldBytes == 0; }
    bool pending() const { return fieldBytes != 0 || rowCells != 0; }
    void endField()
    {
        budget.addCells(1);
        fieldBytes = 0;
        ++rowCells;
    }
    void endRow()
    {
        endField();
        rowCells = 0;
    }
};

template <class Sink>
void walk(std::string_view text, char separator, Sink& sink)
{
    std::array<bool, 256> special{};
    for (char c : {'"', '\n', '\r', separator}) special[static_cast<unsigned char>(c)] = true;

    bool inQuotes = false;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        if (inQuotes) {
            // A plain loop: find_first_of calls memchr once per character.
            std::size_t end = i;
            while (end < n && text[end] != '"' && text[end] != '\r') ++end;
            sink.append(text.substr(i, end - i));
            i = end;
            if (i == n) break;
            if (text[i] == '\r') {
                // A CR LF pair reads as one line feed, inside quotes too.
                const bool pair = i + 1 < n && text[i + 1] == '\n';
                sink.append(pair ? '\n' : '\r');
                i += pair ? 2 : 1;
            } else if (!standsAlone(text, i)) {
                sink.append(text[i++]);
            } else if (i + 1 == n) {
                inQuotes = false;
                ++i;
            } else if (text[i + 1] == '"' && standsAlone(text, i + 1)) {
                sink.append('"');
                i += 2;
            } else {
                inQuotes = false;
                ++i;
            }
            continue;
        }
        std::size_t end = i;
        while (end < n && !special[static_cast<unsigned char>(text[end])]) ++end;
        sink.append(text.substr(i, end - i));
        i = end;
        if (i == n) break;
        const char c = text[i];
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') {
            ++i;
        } else if (c == '\n' || c == '\r') {
            sink.endRow();
            ++i;
        } else if (!standsAlone(text, i)) {
            sink.append(text[i++]);
        } else if (c == separator) {
            sink.endField();
            ++i;
        } else {
            // A quote opens a quoted field only at its start; inside text it is text.
            if (sink.fieldEmpty()) inQuotes = true;
            else sink.append('"');
            ++i;
        }
    }
    if (sink.pending()) sink.endRow();
}
}

Table parseDelimited(std::string_view text, char separator)
{
    TableLimits::checkBytes(text.size());
    // Every cell ends at a separator, a line break or the end of the text: when those could
    // make more cells than a table may hold, the cells are counted before any is built.
    std::size_t bound = 1;
    for (const char c : text) bound += c == separator || c == '\n' || c == '\r';
    if (bound > TableLimits::maxCells) {
        Counter counter;
        walk(text, separator, counter);
    }
    Builder builder;
    walk(text, separator, builder);
    return std::move(builder.rows);
}

std::string delimited(const Table& table, std::string_view separator)
{
    std::size_t bytes = 1;
    for (const Row& row : table) {
        for (const std::string& cell : row) bytes += cell.size() + separator.size() + 2;
    }
    std::string out;
    out.reserve(bytes);
    for (const Row& row : table) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += separator;
            const std::string& cell = row[c];
            // A carriage return is quoted too: readers end a row at it.
            const bool quoted = cell.find(separator) != std::string::npos || cell.find_first_of("\"\n\r") != std::string::npos;
            if (!quoted) {
                out += cell;
                continue;
            }
            out += '"';
            for (char ch : cell) {
                if (ch == '"') out += '"';
                out += ch;
            }
            out += '"';
        }
        out += '\n';
    }
    if (table.empty()) out += '\n';
    return out;
}

}
