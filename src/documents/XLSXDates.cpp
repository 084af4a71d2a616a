#include "documents/XLSXNamespaces.h"
#include "documents/XLSXParsers.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

namespace XLSX {

namespace {
char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lower(text[i]) != prefix[i]) return false;
    }
    return true;
}

// The formats every workbook has without declaring them.
DateStyle builtIn(long long id)
{
    if (id >= 14 && id <= 17) return DateStyle::date;
    if ((id >= 18 && id <= 21) || id == 45 || id == 47) return DateStyle::time;
    if (id == 22) return DateStyle::dateTime;
    if (id == 46) return DateStyle::duration;
    return DateStyle::none;
}
}

DateStyle dateStyle(std::string_view code)
{
    bool date = false, time = false, month = false, duration = false;
    for (std::size_t i = 0; i < code.size() && code[i] != ';'; ++i) {
        const char c = lower(code[i]);
        if (c == '"') {
            // Literal text.
            const std::size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos) break;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            // Colours, conditions and locales, or an elapsed unit: [h], [mm], [ss].
            const std::size_t close = code.find(']', i);
            if (close == std::string_view::npos) break;
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() && inside.find_first_not_of(inside[0]) == std::string_view::npos && std::strchr("hHmMsS", inside[0])) duration = true;
            i = close;
        } else if (startsWithNoCase(code.substr(i), "general")) {
            i += 6;
        } else if (startsWithNoCase(code.substr(i), "am/pm")) {
            time = true;
            i += 4;
        } else if (startsWithNoCase(code.substr(i), "a/p")) {
            time = true;
            i += 2;
        } else if (c == 'y' || c == 'd') {
            date = true;
        } else if (c == 'h' || c == 's') {
            time = true;
        } else if (c == 'm') {
            month = true;
        }
    }
    // "m" is a minute beside hours or seconds and a month otherwise.
    if (duration) return DateStyle::duration;
    if (month && !time) date = true;
    if (date && time) return DateStyle::dateTime;
    if (date) return DateStyle::date;
    return time ? DateStyle::time : DateStyle::none;
}

std::optional<std::string> dateText(double serial, DateStyle style, bool date1904)
{
    using namespace std::chrono;
    // 2958466 is 10000-01-01.
    if (style == DateStyle::none || !(serial >= 0 && serial < 2958466)) return std::nullopt;
    const long long seconds = std::llround(serial * 86400);
    char text[40];
    if (style == DateStyle::duration) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
        return text;
    }
    const long long day = seconds / 86400;
    const long long second = seconds % 86400;
    char clock[12];
    std::snprintf(clock, sizeof clock, "%02lld:%02lld:%02lld", second / 3600, second / 60 % 60, second % 60);
    if (style == DateStyle::time) return clock;
    // The 1900 system counts a 29 February 1900 that never was: serial 60 is that day, and
    // the serials before it start one day later than those after it.
    const sys_days epoch = date1904 ? sys_days(year(1904) / January / 1) : day < 61 ? sys_days(year(1899) / December / 31) : sys_days(year(1899) / December / 30);
    const year_month_day ymd(epoch + days(day));
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(ymd.year()), unsigned(ymd.month()), unsigned(ymd.day()));
    if (style == DateStyle::date) return text;
    return std::string(text) + "T" + clock;
}

namespace StylesParser {

namespace {
// Workbooks hold at most 64,000 cell styles; a part that declares more is not kept whole.
constexpr std::size_t maxStyles = 65536;

class Handler : public XmlStream::Handler {
public:
    std::map<long long, DateStyle> declared;
    std::vector<long long> cellFormats;

    void start(const char* name, const char** attributes) override
    {
        const char* local = Namespaces::main(name);
        if (!local) return;
        if (std::strcmp(local, "cellXfs") == 0) {
            inCellFormats = true;
        } else if (std::strcmp(local, "xf") == 0 && inCellFormats && cellFormats.size() < maxStyles) {
            cellFormats.push_back(number(XmlStream::attribute(attributes, "numFmtId")));
        } else if (std::strcmp(local, "numFmt") == 0 && declared.size() < maxStyles) {
            const char* code = XmlStream::attribute(attributes, "formatCode");
            declared[number(XmlStream::attribute(attributes, "numFmtId"))] = code ? dateStyle(code) : DateStyle::none;
        }
    }
    void end(const char* name) override
    {
        const char* local = Namespaces::main(name);
        if (local && std::strcmp(local, "cellXfs") == 0) inCellFormats = false;
    }
    void text(std::string_view) override {}

private:
    bool inCellFormats = false;

    static long long number(const char* text)
    {
        return text ? std::strtoll(text, nullptr, 10) : 0;
    }
};
}

std::vector<DateStyle> parse(std::string_view xml)
{
    Handler handler;
    if (!XmlStream::parse(xml, handler, XmlStream::Names::byNamespace)) throw XmlStream::Malformed();
    std::vector<DateStyle> styles;
    styles.reserve(handler.cellFormats.size());
    for (const long long id : handler.cellFormats) {
        const auto found = handler.declared.find(id);
        styles.push_back(found != handler.declared.end() ? found->second : builtIn(id));
    }
    return styles;
}

}

}
