#include "documents/Markdown.h"
#include "documents/Utf8Pattern.h"

#include <QString>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace Markdown {

namespace {
using Match = Utf8Pattern::Match;

// What a rule makes of a match: the first group inside a tag, an image or a link.
enum class Kind { wrap, image, link };

struct Rule {
    Utf8Pattern pattern;
    Kind kind;
    std::string_view tag;
    // Text every match contains: without it the pattern need not run at all.
    std::string_view marker;
};

// Where the tags that earlier rules inserted lie. The text was escaped first, so every "<" in
// it starts one of them, and they nest properly. A stretch of text may become an element of
// its own only when it starts and ends outside any tag, at the same depth, and before the end
// of the element it starts in: then it holds whole elements, and the result nests properly
// too. (A bold marker inside a link's target, or a pair of markers around the end of a code
// span, would otherwise give "<" inside an attribute or crossed elements.)
class Markup {
public:
    explicit Markup(std::string_view text) : size_(text.size())
    {
        std::vector<std::size_t> open;
        for (std::size_t i = text.find('<'); i != std::string_view::npos; i = text.find('<', i)) {
            const std::size_t close = text.find('>', i);
            const std::size_t end = close == std::string_view::npos ? size_ - 1 : close;
            if (i + 1 < size_ && text[i + 1] == '/') {
                if (!open.empty()) {
                    tags_[open.back()].closedAt = i;
                    open.pop_back();
                }
            } else if (end == i || text[end - 1] != '/') {
                open.push_back(tags_.size());
            }
            tags_.push_back({i, end, static_cast<int>(open.size()), open.empty() ? none : open.back(), size_});
            i = end + 1;
        }
    }

    bool wraps(std::size_t from, std::size_t to) const
    {
        if (tags_.empty()) return true;
        const State a = at(from);
        const State b = at(to);
        return !a.inTag && !b.inTag && a.depth == b.depth && to <= a.limit;
    }

private:
    static constexpr std::size_t none = std::size_t(-1);

    // One tag from its "<" to its ">", and the elements open after it.
    struct Tag {
        std::size_t start, end;
        int depthAfter;
        std::size_t ownerAfter;
        // For an opening tag: where its closing tag starts (the text's end while unclosed).
        std::size_t closedAt;
    };

    struct State {
        bool inTag;
        int depth;
        std::size_t limit;
    };

    // At a tag's "<" the elements before it count; inside it the position is in a tag.
    State at(std::size_t pos) const
    {
        auto next = std::upper_bound(tags_.begin(), tags_.end(), pos, [](std::size_t p, const Tag& t) { return p < t.start; });
        if (next != tags_.begin() && pos > std::prev(next)->start && pos <= std::prev(next)->end) return {true, 0, 0};
        if (next != tags_.begin() && pos == std::prev(next)->start) --next;
        if (next == tags_.begin()) return {false, 0, size_};
        const Tag& before = *std::prev(next);
        return {false, before.depthAfter, before.ownerAfter == none ? size_ : tags_[before.ownerAfter].closedAt};
    }

    std::size_t size_;
    std::vector<Tag> tags_;
};

// Escaped text as an attribute value: the double quote that would end it is escaped too.
void appendAttribute(std::string& out, std::string_view escaped)
{
    for (const char c : escaped) {
        if (c == '"') out += "&quot;";
        else out += c;
    }
}

// An image's description is plain text: code spans inside it lose their tags.
std::string withoutTags(std::string_view html)
{
    std::string out;
    bool inTag = false;
    for (const char c : html) {
        if (c == '<') inTag = true;
        else if (c == '>' && inTag) inTag = false;
        else if (!inTag) out += c;
    }
    return out;
}

// Relative targets and these schemes only: others (javascript:, data:, vbscript:, file:…)
// can run script or reach the reader's own files, and such a link stays text.
bool safeTarget(std::string_view target)
{
    if (target.find('<') != std::string_view::npos) return false;
    const std::size_t at = target.find_first_of(":/?#");
    if (at == std::string_view::npos || target[at] != ':') return true;
    const std::string_view scheme = target.substr(0, at);
    std::string lower;
    if (std::all_of(scheme.begin(), scheme.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        for (const char c : scheme) lower += (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
    } else {
        // Unicode lower-casing, which can turn some letters into ASCII ones; a byte-order mark,
        // which the decoder would drop at the start, keeps the scheme unknown.
        if (scheme.starts_with("\xEF\xBB\xBF")) return false;
        lower = QString::fromUtf8(scheme.data(), static_cast<qsizetype>(scheme.size())).toLower().toStdString();
    }
    return lower == "http" || lower == "https" || lower == "mailto" || lower == "ftp" || lower == "tel";
}

void render(std::string& out, const Rule& rule, std::string_view text, const Match& m)
{
    switch (rule.kind) {
    case Kind::wrap:
        out.append("<").append(rule.tag).append(">").append(m.captured(text, 1)).append("</").append(rule.tag).append(">");
        break;
    case Kind::image:
        out += "<img alt=\"";
        appendAttribute(out, withoutTags(m.captured(text, 1)));
        out += "\" src=\"";
        appendAttribute(out, m.captured(text, 2));
        out += "\"/>";
        break;
    case Kind::link:
        out += "<a href=\"";
        appendAttribute(out, m.captured(text, 2));
        out.append("\">").append(m.captured(text, 1)).append("</a>");
        break;
    }
}

std::string replaceAll(std::string text, const Rule& rule, bool checkMarkup)
{
    if (text.find(rule.marker) == std::string::npos) return text;
    const Markup markup(checkMarkup ? std::string_view(text) : std::string_view());
    std::string out;
    std::size_t done = 0;
    Match m;
    for (std::size_t from = 0; from < text.size();) {
        if (!rule.pattern.match(text, from, m)) break;
        if (!markup.wraps(m.start[0], m.end[0])) {
            // Every pattern starts with an ASCII character, so one byte on is a character on.
            from = m.start[0] + 1;
            continue;
        }
        out.append(text, done, m.start[0] - done);
        render(out, rule, text, m);
        done = from = m.end[0];
    }
    if (done == 0) return text;
    return out.append(text, done);
}

// The "[label](target)" rules. Run plainly, every "[" that never reaches a usable "](...)"
// rescans the rest of the text, which makes long bracket-heavy lines quadratic. A match holds
// exactly one "](", starts after the "]" before it and ends at the first ")" or space after
// it, so each "](" gives one small window in which the pattern is tried, anchored at the
// rule's opening character, and only when that window can end in ")".
std::string replaceLinks(std::string text, const Rule& rule, char opener)
{
    static const Utf8Pattern stop("[)\\s]");
    std::optional<Markup> markup;
    const std::string_view view(text);
    std::ptrdiff_t stopAt = -1;
    std::size_t nextStop = 0;
    bool moreStops = true;
    std::string out;
    std::size_t done = 0;
    Match m;
    for (std::size_t p = view.find(rule.marker); p != std::string_view::npos; p = view.find(rule.marker, std::max(p + 1, done))) {
        const auto reach = static_cast<std::ptrdiff_t>(p + 2);
        while (stopAt < reach && moreStops) {
            moreStops = stop.match(view, nextStop, m);
            if (moreStops) {
                stopAt = static_cast<std::ptrdiff_t>(m.start[0]);
                nextStop = m.end[0];
            }
        }
        if (stopAt < reach) break;
        const auto close = static_cast<std::size_t>(stopAt);
        if (stopAt == reach || view[close] != ')') continue;
        if (!safeTarget(view.substr(p + 2, close - p - 2))) continue;
        std::size_t from = p;
        while (from > done && view[from - 1] != ']') --from;
        const std::string_view window = view.substr(0, close + 1);
        const std::string_view head = window.substr(from, p - from);
        for (std::size_t i = head.find(opener); i != std::string_view::npos; i = head.find(opener, i + 1)) {
            if (!markup) markup.emplace(view);
            if (!markup->wraps(from + i, close + 1)) continue;
            if (!rule.pattern.match(window, from + i, m, true)) continue;
            out.append(view.substr(done, m.start[0] - done));
            render(out, rule, view, m);
            done = m.end[0];
            break;
        }
    }
    if (done == 0) return text;
    return out.append(view.substr(done));
}

const std::array<Rule, 8>& rules()
{
    static const std::array<Rule, 8> table = {{
        {Utf8Pattern("`([^`]+)`"), Kind::wrap, "code", "`"},
        {Utf8Pattern("!\\[([^\\]]*)\\]\\(([^)\\s]+)\\)"), Kind::image, "", "]("},
        {Utf8Pattern("\\[([^\\]]+)\\]\\(([^)\\s]+)\\)"), Kind::link, "", "]("},
        {Utf8Pattern("\\*\\*([^*]+)\\*\\*"), Kind::wrap, "strong", "**"},
        {Utf8Pattern("__([^_]+)__"), Kind::wrap, "strong", "__"},
        {Utf8Pattern("(?<![\\w*])\\*([^*\\n]+)\\*(?![\\w*])"), Kind::wrap, "em", "*"},
        {Utf8Pattern("(?<!\\w)_([^_\\n]+)_(?!\\w)"), Kind::wrap, "em", "_"},
        {Utf8Pattern("~~([^~]+)~~"), Kind::wrap, "del", "~~"},
    }};
    return table;
}
}

std::string inlineValid(std::string_view text)
{
    const auto& r = rules();
    std::string html = escapeValid(text);
    html = replaceAll(std::move(html), r[0], false);
    html = replaceLinks(std::move(html), r[1], '!');
    html = replaceLinks(std::move(html), r[2], '[');
    for (size_t i = 3; i < r.size(); ++i) html = replaceAll(std::move(html), r[i], true);
    return html;
}

std::string inlineHTML(const std::string& text)
{
    std::string storage;
    return inlineValid(Utf8::sanitized(text, storage));
}

}
