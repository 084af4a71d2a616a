#pragma once
#include <cstddef>
#include <string_view>

// A regular expression over UTF-8 text, compiled once with PCRE2's JIT, with the options
// QRegularExpression uses: UTF always, Unicode classes for \w, \d and \s when asked. Subjects
// must be valid UTF-8; they are not checked again on every call.
class Utf8Pattern {
public:
    // Byte offsets of the whole match and of the first capture groups; an unset group is empty
    // at the match's start.
    struct Match {
        static constexpr int groups = 3;
        std::size_t start[groups] = {};
        std::size_t end[groups] = {};
        std::string_view captured(std::string_view subject, int group) const { return subject.substr(start[group], end[group] - start[group]); }
    };

    explicit Utf8Pattern(const char* pattern, bool unicodeClasses = true);
    ~Utf8Pattern();
    Utf8Pattern(const Utf8Pattern&) = delete;
    Utf8Pattern& operator=(const Utf8Pattern&) = delete;

    // The first match starting at or after `from` (at `from` only when anchored); look-behind
    // sees the text before `from`.
    bool match(std::string_view subject, std::size_t from, Match& found, bool anchored = false) const;

private:
    void* code_;
};

namespace Utf8 {
// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF), as Qt's decoder sees it.
bool valid(std::string_view text);
// UTF-8 text as QString decodes it: a leading byte-order mark dropped, malformed sequences
// replaced; valid text is not copied.
std::string_view sanitized(std::string_view text, std::string& storage);
}
