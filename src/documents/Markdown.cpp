#include "documents/Markdown.h"

namespace Markdown {

namespace {
// Spaces and tabs off both ends.
QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t')) ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t')) --end;
    return text.sliced(begin, end - begin);
}

const QRegularExpression headingPattern("^#{1,6} ");
const QRegularExpression rulePattern("^(-{3,}|\\*{3,}|_{3,})$");
const QRegularExpression bulletPattern("^[-*+] ");
const QRegularExpression numberedPattern("^\\d+[.)] ", QRegularExpression::UseUnicodePropertiesOption);

// The converter's state while it walks the lines.
class Blocks {
public:
    void line(QStringView raw)
    {
        const QStringView line = trimmed(raw);
        if (line.startsWith(u"```")) {
            if (inCode_) closeCode();
            else {
                endBlock();
                inCode_ = true;
            }
            return;
        }
        if (inCode_) {
            code_.push_back(raw.toString());
            return;
        }
        if (line.isEmpty()) return endBlock();
        // The first character rules out most patterns before any of them runs.
        const QChar first = line[0];
        if (first == u'#') {
            if (const auto m = headingPattern.match(line); m.hasMatch()) {
                endBlock();
                const QString level = QString::number(m.capturedLength() - 1);
                return add("<h" + level + ">" + inlineHTML(line.mid(m.capturedEnd()).toString()) + "</h" + level + ">");
            }
        }
        if ((first == u'-' || first == u'*' || first == u'_') && rulePattern.match(line).hasMatch()) {
            endBlock();
            return add(QStringLiteral("<hr/>"));
        }
        if (first == u'>') {
            endBlock();
            return add("<blockquote><p>" + inlineHTML(trimmed(line.mid(1)).toString()) + "</p></blockquote>");
        }
        if (first == u'-' || first == u'*' || first == u'+') {
            if (const auto m = bulletPattern.match(line); m.hasMatch()) return item(u"ul", line.mid(m.capturedEnd()));
        }
        if (first.isDigit()) {
            if (const auto m = numberedPattern.match(line); m.hasMatch()) return item(u"ol", line.mid(m.capturedEnd()));
        }
        closeList();
        paragraph_.push_back(line.toString());
    }

    QString finish()
    {
        if (inCode_) closeCode();
        endBlock();
        return out_.join(u'\n');
    }

private:
    void add(const QString& html) { out_.push_back(html); }

    void item(QStringView tag, QStringView text)
    {
        flushParagraph();
        if (list_ != tag) closeList();
        if (list_.isEmpty()) {
            list_ = tag.toString();
            add("<" + list_ + ">");
        }
        add("<li>" + inlineHTML(text.toString()) + "</li>");
    }

    void flushParagraph()
    {
        if (paragraph_.isEmpty()) return;
        add("<p>" + inlineHTML(paragraph_.join(u' ')) + "</p>");
        paragraph_.clear();
    }

    void closeList()
    {
        if (list_.isEmpty()) return;
        add("</" + list_ + ">");
        list_.clear();
    }

    void endBlock()
    {
        flushParagraph();
        closeList();
    }

    void closeCode()
    {
        add("<pre><code>" + escape(code_.join(u'\n')) + "</code></pre>");
        code_.clear();
        inCode_ = false;
    }

    QStringList out_;
    QStringList paragraph_;
    QString list_;
    bool inCode_ = false;
    QStringList code_;
};
}

QString escape(const QString& text)
{
    QString out = text;
    return out.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;")).replace(u'>', QStringLiteral("&gt;"));
}

std::string escape(const std::string& text)
{
    return escape(QString::fromStdString(text)).toStdString();
}

std::string toHTML(const std::string& markdown)
{
    QString text = QString::fromStdString(markdown);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Blocks blocks;
    for (const QStringView line : QStringView(text).tokenize(u'\n')) blocks.line(line);
    return blocks.finish().toStdString();
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
