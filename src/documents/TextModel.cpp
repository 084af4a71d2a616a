#include "documents/TextModel.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace TextModel {

std::unique_ptr<QTextDocument> newDocument()
{
    auto document = std::make_unique<QTextDocument>();
    QFont font = document->defaultFont();
    font.setPointSizeF(bodyPointSize);
    document->setDefaultFont(font);
    return document;
}

std::unique_ptr<QTextDocument> plain(const QString& text)
{
    auto document = newDocument();
    document->setPlainText(text);
    return document;
}

double pointSize(const QTextCharFormat& format, const QTextDocument& document)
{
    if (format.hasProperty(QTextFormat::FontPointSize)) return format.fontPointSize();
    double base = document.defaultFont().pointSizeF();
    if (base <= 0) base = bodyPointSize;
    // Qt's HTML reader marks h1…h6 and "x-large" and the like with an adjustment of -2…+4
    // steps, drawn at these multiples of the default size.
    static constexpr double scale[] = {0.7, 0.8, 1.0, 1.2, 1.5, 2.0, 2.4};
    if (format.hasProperty(QTextFormat::FontSizeAdjustment)) return base * scale[std::clamp(format.intProperty(QTextFormat::FontSizeAdjustment) + 2, 0, 6)];
    return base;
}

double headingPointSize(int level)
{
    static constexpr double size[] = {24, 18, 14.4, 12, 10, 9};
    return size[std::clamp(level, 1, 6) - 1];
}

bool isBold(const QTextCharFormat& format)
{
    return format.fontWeight() >= QFont::DemiBold;
}

namespace {
void insertParagraph(QTextCursor& cursor, const Paragraph& paragraph, std::map<QString, QTextList*>& lists, bool first)
{
    QTextBlockFormat blockFormat;
    if (paragraph.heading > 0) blockFormat.setHeadingLevel(paragraph.heading);
    if (first) cursor.setBlockFormat(blockFormat);
    else cursor.insertBlock(blockFormat, QTextCharFormat());
    for (const Run& run : paragraph.runs) {
        QTextCharFormat format = run.format;
        if (paragraph.heading > 0) {
            if (!format.hasProperty(QTextFormat::FontPointSize)) format.setFontPointSize(headingPointSize(paragraph.heading));
            format.setFontWeight(QFont::Bold);
        }
        cursor.insertText(run.text, format);
    }
    if (!paragraph.item) return;
    // One list per id and level, so that a deeper level counts on its own.
    const QString key = paragraph.item->list + '/' + QString::number(paragraph.item->level);
    QTextList*& list = lists[key];
    if (list) {
        list->add(cursor.block());
        return;
    }
    QTextListFormat format;
    format.setStyle(paragraph.item->ordered ? QTextListFormat::ListDecimal : (paragraph.item->level == 0 ? QTextListFormat::ListDisc : QTextListFormat::ListCircle));
    format.setIndent(paragraph.item->level + 1);
    list = cursor.createList(format);
}
}

void place(std::vector<Block>& blocks, std::vector<Table>& open, Paragraph paragraph)
{
    if (open.empty()) blocks.push_back({std::move(paragraph), std::nullopt});
    else if (!open.back().rows.empty() && !open.back().rows.back().empty()) open.back().rows.back().back().push_back(std::move(paragraph));
}

void closeTable(std::vector<Block>& blocks, std::vector<Table>& open)
{
    Table table = std::move(open.back());
    open.pop_back();
    if (open.empty()) {
        blocks.push_back({std::nullopt, std::move(table)});
        return;
    }
    auto& outer = open.back();
    if (outer.rows.empty() || outer.rows.back().empty()) return;
    for (auto& row : table.rows) {
        for (auto& cell : row) {
            for (auto& p : cell) outer.rows.back().back().push_back(std::move(p));
        }
    }
}

std::unique_ptr<QTextDocument> build(const std::vector<Block>& blocks)
{
    auto document = newDocument();
    QTextCursor cursor(document.get());
    std::map<QString, QTextList*> lists;
    bool first = true;
    for (const Block& block : blocks) {
        if (block.paragraph) {
            // A list ends at any paragraph that is not one of its items.
            if (!block.paragraph->item) lists.clear();
            insertParagraph(cursor, *block.paragraph, lists, first);
            first = false;
            continue;
        }
        if (!block.table || block.table->rows.empty()) continue;
        lists.clear();
        const auto& rows = block.table->rows;
        const std::size_t columns = std::max_element(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.size() < b.size(); })->size();
        if (columns == 0) continue;
        QTextTableFormat format;
        format.setCellPadding(4);
        format.setBorderCollapse(true);
        QTextTable* table = cursor.insertTable(int(rows.size()), int(columns), format);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                QTextCursor inCell = table->cellAt(int(r), int(c)).firstCursorPosition();
                std::map<QString, QTextList*> cellLists;
                bool firstInCell = true;
                for (const Paragraph& paragraph : rows[r][c]) {
                    insertParagraph(inCell, paragraph, cellLists, firstInCell);
                    firstInCell = false;
                }
            }
        }
        // Qt keeps an empty paragraph after every table; the next paragraph fills it.
        cursor.movePosition(QTextCursor::End);
        first = true;
    }
    return document;
}

void restyle(QTextDocument& document, const std::function<std::optional<QTextCharFormat>(const QTextCharFormat&)>& change)
{
    // Ranges first: merging formats joins and splits the fragments being walked.
    std::vector<std::tuple<int, int, QTextCharFormat>> changes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (!it.fragment().isValid()) continue;
            if (auto format = change(it.fragment().charFormat())) changes.emplace_back(it.fragment().position(), it.fragment().length(), *format);
        }
    }
    QTextCursor cursor(&document);
    for (const auto& [position, length, format] : changes) {
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
}

void settleSizes(QTextDocument& document)
{
    restyle(document, [&](const QTextCharFormat& format) -> std::optional<QTextCharFormat> {
        if (format.hasProperty(QTextFormat::FontPointSize) || !format.hasProperty(QTextFormat::FontSizeAdjustment)) return std::nullopt;
        QTextCharFormat sized;
        sized.setFontPointSize(pointSize(format, document));
        return sized;
    });
}

void visit(const QTextFrame& frame, const std::function<void(const QTextBlock&)>& paragraph, const std::function<void(const QTextTable&)>& table)
{
    for (auto it = frame.begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* t = qobject_cast<const QTextTable*>(child)) table(*t);
            else visit(*child, paragraph, table);
        } else if (const QTextBlock block = it.currentBlock(); block.isValid()) {
            paragraph(block);
        }
    }
}

int listLevel(const QTextBlock& block)
{
    return block.textList() ? std::max(0, block.textList()->format().indent() - 1) : 0;
}

bool isOrderedList(const QTextBlock& block)
{
    if (!block.textList()) return false;
    const auto style = block.textList()->format().style();
    return style != QTextListFormat::ListDisc && style != QTextListFormat::ListCircle && style != QTextListFormat::ListSquare;
}

}
