#include "documents/Markdown.h"

#include "documents/SpreadsheetOps.h"
#include "documents/TextModel.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <map>

namespace Markdown {

namespace {
QString trimmedSpaces(const QString& text, qsizetype& start, qsizetype& end)
{
    start = 0;
    end = text.size();
    while (start < end && (text[start] == ' ' || text[start] == '\t')) ++start;
    while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.mid(start, end - start);
}

QString trimmed(const QString& text)
{
    qsizetype start = 0, end = 0;
    return trimmedSpaces(text, start, end);
}

// The size most of the text is set in; 12 for a document without text.
double bodySize(const QTextDocument& document)
{
    std::map<double, qsizetype> tally;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().isValid()) tally[TextModel::pointSize(it.fragment().charFormat(), document)] += it.fragment().length();
        }
    }
    double best = TextModel::bodyPointSize;
    qsizetype most = 0;
    for (const auto& [size, count] : tally) {
        if (count > most) {
            best = size;
            most = count;
        }
    }
    return best;
}

struct Paragraph {
    QString markdown;
    double largest = 0;
};

Paragraph inlineMarkdown(const QTextBlock& block, const QTextDocument& document)
{
    Paragraph out;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid()) continue;
        const QTextCharFormat format = fragment.charFormat();
        out.largest = std::max(out.largest, TextModel::pointSize(format, document));
        // Line breaks inside a paragraph become spaces: Markdown lines are paragraphs.
        // Pictures (object replacement characters) have no text.
        QString run = fragment.text().replace(QChar(0x2028), ' ').remove(QChar::ObjectReplacementCharacter);
        qsizetype start = 0, end = 0;
        const QString core = trimmedSpaces(run, start, end);
        if (!core.isEmpty()) {
            QString marked = core;
            if (TextModel::isBold(format)) marked = "**" + marked + "**";
            if (format.fontItalic()) marked = "*" + marked + "*";
            run = run.left(start) + marked + run.mid(end);
            if (format.isAnchor() && !format.anchorHref().isEmpty()) run = "[" + run + "](" + format.anchorHref() + ")";
        }
        out.markdown += run;
    }
    return out;
}

bool endsList(const std::vector<QString>& lines)
{
    if (lines.empty()) return false;
    const QString& last = lines.back();
    return last.startsWith("- ") || last.startsWith("1. ") || last.startsWith("  ");
}

void addParagraph(std::vector<QString>& lines, const QTextBlock& block, const QTextDocument& document, double body)
{
    const Paragraph paragraph = inlineMarkdown(block, document);
    const QString plain = block.text().replace(QChar(0x2028), ' ');
    if (plain.isEmpty() && !block.textList()) {
        lines.emplace_back();
        return;
    }
    if (const QTextList* list = block.textList()) {
        static const QRegularExpression marker(R"(^\s*([•◦▪\-–]|\d+[.)])\s*)");
        QString item = paragraph.markdown;
        item.remove(marker);
        const QString indent(2 * TextModel::listLevel(block), ' ');
        lines.push_back(indent + (list->format().style() == QTextListFormat::ListDecimal ? "1." : "-") + " " + item);
        return;
    }
    static const QRegularExpression bullet(R"(^\s*[•◦▪–]\s*)");
    if (const auto m = bullet.match(paragraph.markdown); m.hasMatch()) {
        lines.push_back("- " + trimmed(paragraph.markdown.mid(m.capturedLength())));
        return;
    }
    if (endsList(lines)) lines.emplace_back();
    const double ratio = (paragraph.largest > 0 ? paragraph.largest : body) / body;
    if (ratio >= 1.6) lines.push_back("# " + trimmed(plain));
    else if (ratio >= 1.3) lines.push_back("## " + trimmed(plain));
    else if (ratio >= 1.12) lines.push_back("### " + trimmed(plain));
    else lines.push_back(paragraph.markdown);
    lines.emplace_back();
}

void addTable(std::vector<QString>& lines, const QTextTable& table, const QTextDocument& document)
{
    ::Table rows;
    for (int r = 0; r < table.rows(); ++r) {
        Row row;
        for (int c = 0; c < table.columns(); ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            QStringList texts;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (it.currentBlock().isValid()) texts << trimmed(inlineMarkdown(it.currentBlock(), document).markdown);
            }
            row.push_back(texts.join('\n').toStdString());
        }
        rows.push_back(std::move(row));
    }
    if (rows.empty()) return;
    if (endsList(lines)) lines.emplace_back();
    lines.push_back(QString::fromStdString(SpreadsheetOps::tableMarkdown(rows)).trimmed());
    lines.emplace_back();
}
}

std::string fromAttributed(const QTextDocument& document)
{
    const double body = bodySize(document);
    std::vector<QString> lines;
    TextModel::visit(*document.rootFrame(), [&](const QTextBlock& block) { addParagraph(lines, block, document, body); },
                     [&](const QTextTable& table) { addTable(lines, table, document); });
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += '\n';
        text += lines[i];
    }
    static const QRegularExpression blankRuns("\n{3,}");
    text.replace(blankRuns, "\n\n");
    return text.trimmed().toStdString() + "\n";
}

}
