#pragma once
#include <QString>
#include <QTextCharFormat>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTextBlock;
class QTextDocument;
class QTextFrame;
class QTextTable;

// The styled-text model every document reader produces and every writer consumes: a
// QTextDocument whose body text is 12 points. Readers that parse a format of their own
// describe it as blocks, which build() lays into a document.
namespace TextModel {
inline constexpr double bodyPointSize = 12;

// An empty document with the body font.
std::unique_ptr<QTextDocument> newDocument();
// Plain text with the body attributes.
std::unique_ptr<QTextDocument> plain(const QString& text);
// The size a run is drawn at: its own point size, else the document's default scaled by the
// relative size HTML headings and font-size keywords carry.
double pointSize(const QTextCharFormat& format, const QTextDocument& document);
// The point size the heading of a level (1–6) is given.
double headingPointSize(int level);
// Whether a run is set bold (semi-bold and heavier).
bool isBold(const QTextCharFormat& format);

struct Run {
    QString text;
    QTextCharFormat format;
};
struct Paragraph {
    std::vector<Run> runs;
    int heading = 0;  // 1–6, or 0 for body text
    // A list item: which list (items of one id share a numbering), its depth from 0, and
    // whether it counts or shows bullets.
    struct Item {
        QString list;
        int level = 0;
        bool ordered = false;
    };
    std::optional<Item> item;
};
// A table: rows of cells, each cell its paragraphs.
using Cell = std::vector<Paragraph>;
struct Table {
    std::vector<std::vector<Cell>> rows;
};
struct Block {
    std::optional<Paragraph> paragraph;
    std::optional<Table> table;
};

std::unique_ptr<QTextDocument> build(const std::vector<Block>& blocks);

// What a reader collects as it goes: a paragraph lands in the innermost open table's last cell,
// or in the blocks when no table is open (none is dropped but one between a table's cells).
void place(std::vector<Block>& blocks, std::vector<Table>& open, Paragraph paragraph);
// Closes the innermost open table: into the blocks, or, when nested, its paragraphs join the
// outer table's cell.
void closeTable(std::vector<Block>& blocks, std::vector<Table>& open);

// Merges into every run the format `change` gives for it, if any (tables included).
void restyle(QTextDocument& document, const std::function<std::optional<QTextCharFormat>(const QTextCharFormat&)>& change);
// Gives every run whose size is relative (HTML headings) its point size, for writers that
// know only point sizes.
void settleSizes(QTextDocument& document);

// Walks a frame's paragraphs and tables in reading order (the contents of other frames in
// place); a table's cells are left to the visitor.
void visit(const QTextFrame& frame, const std::function<void(const QTextBlock&)>& paragraph, const std::function<void(const QTextTable&)>& table);
// The list-marker style's depth, from 0.
int listLevel(const QTextBlock& block);
bool isOrderedList(const QTextBlock& block);

}
