#include "documents/Markdown.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace Markdown {

namespace {
// ICU reads \w, \s and \d as Unicode classes; PCRE2 needs to be told.
constexpr auto unicode = QRegularExpression::UseUnicodePropertiesOption;

using Render = std::function<QString(const QRegularExpressionMatch&)>;

struct Rule {
    QRegularExpression pattern;
    Render render;
    // Text every match contains: without it the pattern need not run at all.
    QString marker;
};

// Where the tags that earlier rules inserted lie. The text was escaped first, so every "<" in
// it starts one of them, and they nest properly. A stretch of text may become an element of
// its own only when it starts and ends outside any tag, at the same depth, and before the end
// of the element it starts in: then it holds whole elements, and the result nests properly
// too. (A bold marker inside a link's target, or a pair of markers around the end of a code
// span, would otherwise give "<" inside an attribute or crossed elements.)
class Markup {
public:
    explicit Markup(const QString& text)
    {
        if (!text.contains(u'<')) return;
        const qsizetype n = text.size();
        depth_.assign(n + 1, 0);
        limit_.assign(n + 1, n);
        inTag_.assign(n + 1, false);
        std::vector<qsizetype> owner(n + 1, -1);
        std::vector<qsizetype> closeOf(n, n);
        std::vector<qsizetype> open;
        const auto mark = [&](qsizetype at, bool inside) {
            depth_[at] = static_cast<int>(open.size());
            owner[at] = open.empty() ? -1 : open.back();
            inTag_[at] = inside;
        };
        for (qsizetype i = 0; i < n;) {
            mark(i, false);
            if (text[i] != u'<') {
                ++i;
                continue;
            }
            const qsizetype close = text.indexOf(u'>', i);
            const qsizetype end = close < 0 ? n - 1 : close;
            for (qsizetype j = i + 1; j <= end; ++j) mark(j, true);
            if (i + 1 < n && text[i + 1] == u'/') {
                if (!open.empty()) {
                    closeOf[open.back()] = i;
                    open.pop_back();
                }
            } else if (text[end - 1] != u'/') {
                open.push_back(i);
            }
            i = end + 1;
        }
        mark(n, false);
        for (qsizetype i = 0; i <= n; ++i) limit_[i] = owner[i] < 0 ? n : closeOf[owner[i]];
    }

    bool wraps(qsizetype from, qsizetype to) const
    {
        if (depth_.empty()) return true;
        return !inTag_[from] && !inTag_[to] && depth_[from] == depth_[to] && to <= limit_[from];
    }

private:
    std::vector<int> depth_;
    std::vector<qsizetype> limit_;
    std::vector<bool> inTag_;
};

// The template with "$1" and "$2" filled in from the match.
Render filled(const QString& replacement)
{
    return [replacement](const QRegularExpressionMatch& m) {
        QString out;
        for (qsizetype i = 0; i < replacement.size(); ++i) {
            if (replacement[i] == u'$' && i + 1 < replacement.size() && replacement[i + 1].isDigit()) {
                out += m.capturedView(replacement[++i].digitValue());
            } else {
                out += replacement[i];
            }
        }
        return out;
    };
}

// Escaped text as an attribute value: the double quote that would end it is escaped too.
QString attribute(QStringView escaped)
{
    return escaped.toString().replace(u'"', QStringLiteral("&quot;"));
}

// An image's description is plain text: code spans inside it lose their tags.
QString withoutTags(QStringView html)
{
    QString out;
    bool inTag = false;
    for (const QChar c : html) {
        if (c == u'<') inTag = true;
        else if (c == u'>' && inTag) inTag = false;
        else if (!inTag) out += c;
    }
    return out;
}

// Relative targets and these schemes only: others (javascript:, data:, vbscript:, file:…)
// can run script or reach the reader's own files, and such a link stays text.
bool safeTarget(QStringView target)
{
    if (target.contains(u'<')) return false;
    static const QRegularExpression beforePath("[:/?#]");
    const auto m = beforePath.match(target);
    if (!m.hasMatch() || target[m.capturedStart()] != u':') return true;
    const QString scheme = target.first(m.capturedStart()).toString().toLower();
    return scheme == u"http" || scheme == u"https" || scheme == u"mailto" || scheme == u"ftp" || scheme == u"tel";
}

QString replaceAll(const QString& text, const Rule& rule, bool checkMarkup)
{
    if (!text.contains(rule.marker)) return text;
    const Markup markup(checkMarkup ? text : QString());
    QString out;
    qsizetype done = 0;
    // PCRE2 checks the whole subject for valid UTF-16 on every call: only once here.
    auto options = QRegularExpression::NoMatchOption;
    for (qsizetype from = 0; from < text.size(); options = QRegularExpression::DontCheckSubjectStringMatchOption) {
        const auto m = rule.pattern.match(text, from, QRegularExpression::NormalMatch, options);
        if (!m.hasMatch()) break;
        if (!markup.wraps(m.capturedStart(), m.capturedEnd())) {
            from = m.capturedStart() + 1;
            continue;
        }
        out += QStringView(text).sliced(done, m.capturedStart() - done);
        out += rule.render(m);
        done = from = m.capturedEnd();
    }
    if (done == 0) return text;
    return out.append(QStringView(text).sliced(done));
}

// The "[label](target)" rules. Run plainly, every "[" that never reaches a usable "](...)"
// rescans the rest of the text, which makes long bracket-heavy lines quadratic. A match holds
// exactly one "](", starts after the "]" before it and ends at the first ")" or space after
// it, so each "](" gives one small window in which the pattern is tried, anchored at the
// rule's opening character, and only when that window can end in ")".
QString replaceLinks(const QString& text, const Rule& rule, QChar opener)
{
    static const QRegularExpression stop("[)\\s]", unicode);
    std::optional<Markup> markup;
    auto stops = stop.globalMatch(text);
    qsizetype stopAt = -1;
    QString out;
    qsizetype done = 0;
    for (qsizetype p = text.indexOf(rule.marker); p >= 0; p = text.indexOf(rule.marker, std::max(p + 1, done))) {
        while (stopAt < p + 2 && stops.hasNext()) stopAt = stops.next().capturedStart();
        if (stopAt < p + 2) break;
        if (stopAt == p + 2 || text[stopAt] != u')') continue;
        if (!safeTarget(QStringView(text).sliced(p + 2, stopAt - p - 2))) continue;
        qsizetype from = p;
        while (from > done && text[from - 1] != u']') --from;
        const QStringView window = QStringView(text).first(stopAt + 1);
        const QStringView head = window.sliced(from, p - from);
        for (qsizetype i = head.indexOf(opener); i >= 0; i = head.indexOf(opener, i + 1)) {
            if (!markup) markup.emplace(text);
            if (!markup->wraps(from + i, stopAt + 1)) continue;
            // The search for stops has checked the text as UTF-16 already.
            const auto m = rule.pattern.match(window, from + i, QRegularExpression::NormalMatch,
                                              QRegularExpression::AnchorAtOffsetMatchOption | QRegularExpression::DontCheckSubjectStringMatchOption);
            if (!m.hasMatch()) continue;
            out += QStringView(text).sliced(done, m.capturedStart() - done);
            out += rule.render(m);
            done = m.capturedEnd();
            break;
        }
    }
    if (done == 0) return text;
    return out.append(QStringView(text).sliced(done));
}

const std::array<Rule, 8>& rules()
{
    static const std::array<Rule, 8> table = {{
        {QRegularExpression("`([^`]+)`", unicode), filled("<code>$1</code>"), "`"},
        {QRegularExpression("!\\[([^\\]]*)\\]\\(([^)\\s]+)\\)", unicode),
         [](const QRegularExpressionMatch& m) {
             return "<img alt=\"" + attribute(withoutTags(m.capturedView(1))) + "\" src=\"" + attribute(m.capturedView(2)) + "\"/>";
         },
         "]("},
        {QRegularExpression("\\[([^\\]]+)\\]\\(([^)\\s]+)\\)", unicode),
         [](const QRegularExpressionMatch& m) { return "<a href=\"" + attribute(m.capturedView(2)) + "\">" + m.captured(1) + "</a>"; }, "]("},
        {QRegularExpression("\\*\\*([^*]+)\\*\\*", unicode), filled("<strong>$1</strong>"), "**"},
        {QRegularExpression("__([^_]+)__", unicode), filled("<strong>$1</strong>"), "__"},
        {QRegularExpression("(?<![\\w*])\\*([^*\\n]+)\\*(?![\\w*])", unicode), filled("<em>$1</em>"), "*"},
        {QRegularExpression("(?<!\\w)_([^_\\n]+)_(?!\\w)", unicode), filled("<em>$1</em>"), "_"},
        {QRegularExpression("~~([^~]+)~~", unicode), filled("<del>$1</del>"), "~~"},
    }};
    return table;
}
}

QString inlineHTML(const QString& text)
{
    const auto& r = rules();
    QString html = escape(text);
    html = replaceAll(html, r[0], false);
    html = replaceLinks(html, r[1], u'!');
    html = replaceLinks(html, r[2], u'[');
    for (size_t i = 3; i < r.size(); ++i) html = replaceAll(html, r[i], true);
    return html;
}

std::string inlineHTML(const std::string& text)
{
    return inlineHTML(QString::fromStdString(text)).toStdString();
}

}
