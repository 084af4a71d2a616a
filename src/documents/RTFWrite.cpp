#include "documents/RTF.h"

#include "documents/TextModel.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <cmath>
#include <vector>

namespace RTF {

namespace {
class Writer {
public:
    explicit Writer(const QTextDocument& document) : document(document) {}

    std::string run()
    {
        TextModel::visit(*document.rootFrame(), [&](const QTextBlock& block) { paragraph(block, false); }, [&](const QTextTable& table) { this->table(table); });
        std::string head = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
        for (std::size_t i = 0; i < fonts.size(); ++i) head += "{\\f" + std::to_string(i) + "\\fnil " + escape(fonts[i]) + ";}";
        head += "}{\\colortbl;";
        for (const QColor& c : colors) head += "\\red" + std::to_string(c.red()) + "\\green" + std::to_string(c.green()) + "\\blue" + std::to_string(c.blue()) + ";";
        head += "}\n";
        return head + body + "}\n";
    }

private:
    const QTextDocument& document;
    std::vector<QString> fonts{"Helvetica"};
    std::vector<QColor> colors;
    std::string body;

    static std::string escape(const QString& text)
    {
        std::string out;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c == '\\' || c == '{' || c == '}') out += std::string("\\") + char(c);
            else if (c == '\t') out += "\\tab ";
            else if (c == 0x2028 || c == '\n') out += "\\line ";
            else if (c == 0x00A0) out += "\\~";
            else if (c >= 0x20 && c < 0x80) out += char(c);
            else if (c >= 0x80 && c != QChar::ObjectReplacementCharacter) out += "\\u" + std::to_string(int16_t(c)) + "?";
        }
        return out;
    }

    template <class T>
    static int indexOf(std::vector<T>& list, const T& value)
    {
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i] == value) return int(i);
        }
        list.push_back(value);
        return int(list.size() - 1);
    }

    void run(const QTextFragment& fragment)
    {
        const QTextCharFormat format = fragment.charFormat();
        std::string controls = "\\plain";
        if (const QStringList families = format.fontFamilies().toStringList(); !families.isEmpty()) controls += "\\f" + std::to_string(indexOf(fonts, families.front()));
        else controls += "\\f0";
        controls += "\\fs" + std::to_string(int(std::lround(TextModel::pointSize(format, document) * 2)));
        if (TextModel::isBold(format)) controls += "\\b";
        if (format.fontItalic()) controls += "\\i";
        if (format.fontUnderline()) controls += "\\ul";
        if (format.fontStrikeOut()) controls += "\\strike";
        if (format.hasProperty(QTextFormat::ForegroundBrush)) controls += "\\cf" + std::to_string(indexOf(colors, format.foreground().color()) + 1);
        const std::string text = "{" + controls + " " + escape(fragment.text()) + "}";
        if (format.isAnchor() && !format.anchorHref().isEmpty()) {
            body += "{\\field{\\*\\fldinst{HYPERLINK \"" + escape(format.anchorHref()) + "\"}}{\\fldrslt" + text + "}}";
        } else {
            body += text;
        }
    }

    void paragraph(const QTextBlock& block, bool inTable)
    {
        body += "\\pard";
        if (inTable) body += "\\intbl";
        if (const QTextList* list = block.textList()) {
            const int level = TextModel::listLevel(block);
            body += "\\fi-360\\li" + std::to_string(720 * (level + 1)) + " ";
            const std::string marker = TextModel::isOrderedList(block) ? std::to_string(list->itemNumber(block) + 1) + "." : "\\u8226?";
            body += "{\\listtext " + marker + "\\tab}";
        } else {
            body += " ";
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().isValid()) run(it.fragment());
        }
        if (!inTable) body += "\\par\n";
    }

    void table(const QTextTable& table)
    {
        for (int r = 0; r < table.rows(); ++r) {
            body += "\\trowd\\trgaph108";
            for (int c = 0; c < table.columns(); ++c) body += "\\cellx" + std::to_string(9000 * (c + 1) / table.columns());
            body += "\n";
            for (int c = 0; c < table.columns(); ++c) {
                const QTextTableCell cell = table.cellAt(r, c);
                bool first = true;
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (!first) body += "\\par";
                    first = false;
                    if (it.currentBlock().isValid()) paragraph(it.currentBlock(), true);
                }
                body += "\\cell\n";
            }
            body += "\\row\n";
        }
        body += "\\pard\n";
    }
};
}

std::string write(const QTextDocument& document)
{
    return Writer(document).run();
}

}
