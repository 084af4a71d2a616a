#include "documents/Markdown.h"
#include "documents/Utf8Pattern.h"

#include <QChar>
#include <QStringView>

namespace Markdown {

namespace {
// Spaces and tabs off both ends.
std::string_view trimmed(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.substr(begin, end - begin);
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t')) ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t')) --end;
    return text.sliced(begin, end - begin);
}

// The length of a heading's "#…# " opening, or 0.
std::size_t headingOpening(std::string_view line)
{
    std::size_t hashes = 0;
    while (hashes < line.size() && line[hashes] == '#') ++hashes;
    return hashes >= 1 && hashes <= 6 && hashes < line.size() && line[hashes] == ' ' ? hashes + 1 : 0;
}

// Three or more of one of "-", "*", "_" and nothing else.
bool isRule(std::string_view line)
{
    return line.size() >= 3 && line.find_first_not_of(line[0]) == std::string_view::npos;
}

// Whether the first character is a decimal digit of any script within the Basic Multilingual
// Plane, which is where a numbered item may start.
bool startsWithDigit(std::string_view line)
{
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(line[i]); };
    if (b(0) < 0x80) return b(0) >= '0' && b(0) <= '9';
    char32_t c = 0;
    if ((b(0) & 0xE0) == 0xC0 && line.size() >= 2) c = ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    else if ((b(0) & 0xF0) == 0xE0 && line.size() >= 3) c = ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    else return false;
    return QChar(static_cast<char16_t>(c)).isDigit();
}

// The converter's state while it walks the lines.
class Blocks {
public:
    void line(std::string_view raw)
    {
        const std::string_view line = trimmed(raw);
        if (line.starts_with("```")) {
            if (inCode_) closeCode();
            else {
                endBlock();
                inCode_ = true;
            }
            return;
        }
        if (inCode_) {
            if (codeLines_++ > 0) code_ += '\n';
            code_ += raw;
            return;
        }
        if (line.empty()) return endBlock();
        // The first character rules out most rules before any of them is tried.
        const char first = line[0];
        if (first == '#') {
            if (const std::size_t opening = headingOpening(line)) {
                endBlock();
                const char level = static_cast<char>('0' + opening - 1);
                begin().append("<h").append(1, level).append(">").append(inlineValid(line.substr(opening))).append("</h").append(1, level).append(">");
                return;
            }
        }
        if ((first == '-' || first == '*' || first == '_') && isRule(line)) {
            endBlock();
            begin() += "<hr/>";
            return;
        }
        if (first == '>') {
            endBlock();
            begin().append("<blockquote><p>").append(inlineValid(trimmed(line.substr(1)))).append("</p></blockquote>");
            return;
        }
        if ((first == '-' || first == '*' || first == '+') && line.size() > 1 && line[1] == ' ') return item("ul", line.substr(2));
        if (startsWithDigit(line)) {
            static const Utf8Pattern numbered("^\\d+[.)] ");
            if (Utf8Pattern::Match m; numbered.match(line, 0, m)) return item("ol", line.substr(m.end[0]));
        }
        closeList();
        if (!paragraph_.empty()) paragraph_ += ' ';
        paragraph_ += line;
    }

    std::string finish()
    {
        if (inCode_) closeCode();
        endBlock();
        return std::move(out_);
    }

private:
    // A new output line, to be appended to.
    std::string& begin()
    {
        if (lines_++ > 0) out_ += '\n';
        return out_;
    }

    void item(std::string_view tag, std::string_view text)
    {
        flushParagraph();
        if (!list_.empty() && list_ != tag) closeList();
        if (list_.empty()) {
            list_ = tag;
            begin().append("<").append(list_).append(">");
        }
        begin().append("<li>").append(inlineValid(text)).append("</li>");
    }

    void flushParagraph()
    {
        if (paragraph_.empty()) return;
        begin().append("<p>").append(inlineValid(paragraph_)).append("</p>");
        paragraph_.clear();
    }

    void closeList()
    {
        if (list_.empty()) return;
        begin().append("</").append(list_).append(">");
        list_ = {};
    }

    void endBlock()
    {
        flushParagraph();
        closeList();
    }

    void closeCode()
    {
        begin().append("<pre><code>").append(escapeValid(code_)).append("</code></pre>");
        code_.clear();
        codeLines_ = 0;
        inCode_ = false;
    }

    std::string out_;
    std::size_t lines_ = 0;
    // The open paragraph's lines, joined with spaces; a paragraph line is never empty.
    std::string paragraph_;
    std::string_view list_;
    bool inCode_ = false;
    std::string code_;
    std::size_t codeLines_ = 0;
};
}

QString escape(const QString& text)
{
    QString out = text;
    return out.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;")).replace(u'>', QStringLiteral("&gt;"));
}

std::string escapeValid(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string escape(const std::string& text)
{
    std::string storage;
    return escapeValid(Utf8::sanitized(text, storage));
}

std::string toHTML(const std::string& markdown)
{
    std::string storage;
    const std::string_view text = Utf8::sanitized(markdown, storage);
    Blocks blocks;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            blocks.line(text.substr(start));
            break;
        }
        // A carriage return before a line feed ends the line with it; a lone one is text.
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r')) line.remove_suffix(1);
        blocks.line(line);
        start = end + 1;
    }
    return blocks.finish();
}
std::string page(const std::string& title, const std::string& body)
{
    return "<!doctype html>\n<html><head><meta charset=\"utf-8\"><title>" + escape(title) +
           "</title>\n<style>\n"
           "body{font:13px/1.5 -apple-system,BlinkMacSystemFont,\"Helvetica Neue\",Helvetica,sans-serif;max-width:46em;margin:3em auto;padding:0 1em;color:#222}\n"
           "pre{background:#f5f5f5;padding:1em;border-radius:6px;overflow:auto}code{font-family:Menlo,monospace;font-size:.9em}\n"
           "blockquote{border-left:4px solid #ddd;margin:0;padding-left:1em;color:#555}\n"
           "</style></head><body>\n" +
           body + "\n</body></html>";
}

std::vector<std::string> components(const std::string& text, const QRegularExpression& separator)
{
    const QString subject = QString::fromStdString(text);
    std::vector<std::string> pieces;
    qsizetype from = 0;
    for (auto it = separator.globalMatch(subject); it.hasNext();) {
        const auto m = it.next();
        pieces.push_back(trimmed(QStringView(subject).sliced(from, m.capturedStart() - from)).toString().toStdString());
        from = m.capturedEnd();
    }
    pieces.push_back(trimmed(QStringView(subject).sliced(from)).toString().toStdString());
    return pieces;
}

}
