#include "documents/SpreadsheetOps.h"

#include "core/Errors.h"
#include "documents/ODS.h"
#include "documents/XLSX.h"

#include <QStringDecoder>

#include <fstream>
#include <sstream>
#include <system_error>

namespace SpreadsheetOps {

namespace {
// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool validUtf8(std::string_view s)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = byte(i);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) length = 2;
        else if (c >= 0xE0 && c <= 0xEF) length = 3, low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
        else if (c >= 0xF0 && c <= 0xF4) length = 4, low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
        else return false;
        if (i + length > s.size() || byte(i + 1) < low || byte(i + 1) > high) return false;
        for (std::size_t k = 2; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

std::string latin1(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            text += ch;
        } else {
            text += char(0xC0 | (c >> 6));
            text += char(0x80 | (c & 0x3F));
        }
    }
    return text;
}

std::string readBytes(const Path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::system_error(errno, std::generic_category(), file.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw std::system_error(errno, std::generic_category(), file.string());
    return std::move(bytes).str();
}

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
    if (ext == "csv") return parseDelimited(decodeText(readBytes(source)), ',');
    if (ext == "tsv") return parseDelimited(decodeText(readBytes(source)), '\t');
    throw KError("Unsupported spreadsheet");
}
}

std::string decodeText(std::string bytes)
{
    std::string_view view = bytes;
    if (view.starts_with("\xEF\xBB\xBF")) view.remove_prefix(3);
    const auto utf16 = view.starts_with("\xFF\xFE") ? QStringDecoder::Utf16LE : view.starts_with("\xFE\xFF") ? QStringDecoder::Utf16BE : std::optional<QStringDecoder::Encoding>();
    if (utf16) {
        QStringDecoder decoder(*utf16);
        const QString text = decoder(QByteArrayView(view.data() + 2, static_cast<qsizetype>(view.size() - 2)));
        if (!decoder.hasError()) return text.toStdString();
    } else if (validUtf8(view)) {
        return view.size() == bytes.size() ? std::move(bytes) : std::string(view);
    }
    return latin1(view);
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
