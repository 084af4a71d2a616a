#include "documents/Utf8Pattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QString>

#include <memory>
#include <stdexcept>
#include <string>

namespace {
// Per thread, like Qt's: match data for the groups a caller reads, and a JIT stack that long
// lines cannot exhaust.
struct Scratch {
    pcre2_match_data* data = pcre2_match_data_create(Utf8Pattern::Match::groups, nullptr);
    pcre2_jit_stack* stack = pcre2_jit_stack_create(32 * 1024, 512 * 1024, nullptr);
    pcre2_match_context* context = pcre2_match_context_create(nullptr);
    Scratch() { pcre2_jit_stack_assign(context, nullptr, stack); }
    ~Scratch()
    {
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(stack);
        pcre2_match_data_free(data);
    }
};

Scratch& scratch()
{
    thread_local Scratch perThread;
    return perThread;
}
}

Utf8Pattern::Utf8Pattern(const char* pattern, bool unicodeClasses)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    const uint32_t options = PCRE2_UTF | (unicodeClasses ? PCRE2_UCP : 0);
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, options, &error, &offset, nullptr);
    if (!code) throw std::logic_error(std::string("bad pattern: ") + pattern);
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    code_ = code;
}

Utf8Pattern::~Utf8Pattern()
{
    pcre2_code_free(static_cast<pcre2_code*>(code_));
}

bool Utf8Pattern::match(std::string_view subject, std::size_t from, Match& found, bool anchored) const
{
    Scratch& s = scratch();
    const uint32_t options = PCRE2_NO_UTF_CHECK | (anchored ? PCRE2_ANCHORED : 0);
    // A failure other than no match (a JIT stack limit on a pathological line) counts as no
    // match, as it does for QRegularExpression.
    const int rc = pcre2_match(static_cast<const pcre2_code*>(code_), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), from, options, s.data, s.context);
    if (rc <= 0) return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(s.data);
    for (int g = 0; g < Match::groups; ++g) {
        const bool set = g < rc && ovector[2 * g] != PCRE2_UNSET;
        found.start[g] = set ? ovector[2 * g] : ovector[0];
        found.end[g] = set ? ovector[2 * g + 1] : ovector[0];
    }
    return true;
}

namespace Utf8 {

bool valid(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        char32_t c = 0, least = 0;
        if ((*p & 0xE0) == 0xC0) more = 1, c = *p & 0x1F, least = 0x80;
        else if ((*p & 0xF0) == 0xE0) more = 2, c = *p & 0x0F, least = 0x800;
        else if ((*p & 0xF8) == 0xF0) more = 3, c = *p & 0x07, least = 0x10000;
        else return false;
        if (end - p <= more) return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            c = (c << 6) | (p[i] & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        p += more + 1;
    }
    return true;
}

std::string_view sanitized(std::string_view text, std::string& storage)
{
    // QString drops a byte-order mark at the start.
    if (valid(text)) return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
    storage = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdString();
    return storage;
}

}
