#include "documents/Markdown.h"

#include <algorithm>
#include <array>

namespace Markdown {

namespace {
// ICU reads \w, \s and \d as Unicode classes; PCRE2 needs to be told.
constexpr auto unicode = QRegularExpression::UseUnicodePropertiesOption;

struct Rule {
    QRegularExpression pattern;
    QString replacement;
    // Text every match contains: without it the pattern need not run at all.
    QString marker;
};

// The template with "$1" and "$2" filled in from the match.
QString expand(const QString& replacement, const QRegularExpressionMatch& m)
{
    QString out;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        if (replacement[i] == u'$' && i + 1 < replacement.size() && replacement[i + 1].isDigit()) {
            out += m.capturedView(replacement[++i].digitValue());
        } else {
            out += replacement[i];
        }
    }
    return out;
}

QString replaceAll(const QString& text, const Rule& rule)
{
    if (!text.contains(rule.marker)) return text;
    QString out;
    qsizetype done = 0;
    for (auto it = rule.pattern.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(text).sliced(done, m.capturedStart() - done);
        out += expand(rule.replacement, m);
        done = m.capturedEnd();
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
    auto stops = stop.globalMatch(text);
    qsizetype stopAt = -1;
    QString out;
    qsizetype done = 0;
    for (qsizetype p = text.indexOf(rule.marker); p >= 0; p = text.indexOf(rule.marker, std::max(p + 1, done))) {
        while (stopAt < p + 2 && stops.hasNext()) stopAt = stops.next().capturedStart();
        if (stopAt < p + 2) break;
        if (stopAt == p + 2 || text[stopAt] != u')') continue;
        qsizetype from = p;
        while (from > done && text[from - 1] != u']') --from;
        const QStringView window = QStringView(text).first(stopAt + 1);
        const QStringView head = window.sliced(from, p - from);
        for (qsizetype i = head.indexOf(opener); i >= 0; i = head.indexOf(opener, i + 1)) {
            const auto m = rule.pattern.match(window, from + i, QRegularExpression::NormalMatch,
                                                  QRegularExpression::AnchorAtOffsetMatchOption);
            if (!m.hasMatch()) continue;
            out += QStringView(text).sliced(done, m.capturedStart() - done);
            out += expand(rule.replacement, m);
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
        {QRegularExpression("`([^`]+)`", unicode), "<code>$1</code>", "`"},
        {QRegularExpression("!\\[([^\\]]*)\\]\\(([^)\\s]+)\\)", unicode), "<img alt=\"$1\" src=\"$2\"/>", "]("},
        {QRegularExpression("\\[([^\\]]+)\\]\\(([^)\\s]+)\\)", unicode), "<a href=\"$2\">$1</a>", "]("},
        {QRegularExpression("\\*\\*([^*]+)\\*\\*", unicode), "<strong>$1</strong>", "**"},
        {QRegularExpression("__([^_]+)__", unicode), "<strong>$1</strong>", "__"},
        {QRegularExpression("(?<![\\w*])\\*([^*\\n]+)\\*(?![\\w*])", unicode), "<em>$1</em>", "*"},
        {QRegularExpression("(?<!\\w)_([^_\\n]+)_(?!\\w)", unicode), "<em>$1</em>", "_"},
        {QRegularExpression("~~([^~]+)~~", unicode), "<del>$1</del>", "~~"},
    }};
    return table;
}
}

QString inlineHTML(const QString& text)
{
    const auto& r = rules();
    QString html = escape(text);
    html = replaceAll(html, r[0]);
    html = replaceLinks(html, r[1], u'!');
    html = replaceLinks(html, r[2], u'[');
    for (size_t i = 3; i < r.size(); ++i) html = replaceAll(html, r[i]);
    return html;
}

std::string inlineHTML(const std::string& text)
{
    return inlineHTML(QString::fromStdString(text)).toStdString();
}

}
