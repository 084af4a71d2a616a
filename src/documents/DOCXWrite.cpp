#include "documents/DOCX.h"

#include "documents/Package.h"
#include "documents/Table.h"
#include "documents/TextModel.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <cmath>
#include <map>

namespace DOCX {

namespace {
const std::string contentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
    R"(<Override PartName="/word/numbering.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml"/>)"
    R"(</Types>)";

const std::string packageRelationships =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
    R"(</Relationships>)";

const std::string namespaces =
    R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";

std::string headingStyle(int level)
{
    const std::string n = std::to_string(level);
    const int halfPoints = int(std::lround(TextModel::headingPointSize(level) * 2));
    return R"(<w:style w:type="paragraph" w:styleId="Heading)" + n + R"("><w:name w:val="heading )" + n +
           R"("/><w:basedOn w:val="Normal"/><w:next w:val="Normal"/><w:qFormat/><w:pPr><w:keepNext/><w:spacing w:before="240" w:after="120"/><w:outlineLvl w:val=")" +
           std::to_string(level - 1) + R"("/></w:pPr><w:rPr><w:b/><w:sz w:val=")" + std::to_string(halfPoints) + R"("/></w:rPr></w:style>)";
}

std::string styles()
{
    std::string out = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:styles )" + namespaces + ">" +
                      R"(<w:docDefaults><w:rPrDefault><w:rPr><w:sz w:val="24"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after="120"/></w:pPr></w:pPrDefault></w:docDefaults>)"
                      R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style>)";
    for (int level = 1; level <= 6; ++level) out += headingStyle(level);
    out += R"(<w:style w:type="paragraph" w:styleId="ListParagraph"><w:name w:val="List Paragraph"/><w:basedOn w:val="Normal"/><w:pPr><w:spacing w:after="0"/></w:pPr></w:style>)"
           R"(<w:style w:type="character" w:styleId="Hyperlink"><w:name w:val="Hyperlink"/><w:rPr><w:color w:val="0563C1"/><w:u w:val="single"/></w:rPr></w:style>)"
           R"(<w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/><w:tblPr><w:tblBorders>)"
           R"(<w:top w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:left w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
           R"(<w:bottom w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:right w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
           R"(<w:insideH w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:insideV w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
           R"(</w:tblBorders></w:tblPr></w:style></w:styles>)";
    return out;
}

// Nine levels of one list kind: bullets, or decimal numbers.
std::string abstractList(int id, bool ordered)
{
    std::string out = R"(<w:abstractNum w:abstractNumId=")" + std::to_string(id) + R"("><w:multiLevelType w:val="hybridMultilevel"/>)";
    static const char* bullets[] = {"\xE2\x80\xA2", "\xE2\x97\xA6", "\xE2\x96\xAA"};
    for (int level = 0; level < 9; ++level) {
        const std::string text = ordered ? "%" + std::to_string(level + 1) + "." : bullets[level % 3];
        out += R"(<w:lvl w:ilvl=")" + std::to_string(level) + R"("><w:start w:val="1"/><w:numFmt w:val=")" + (ordered ? "decimal" : "bullet") +
               R"("/><w:lvlText w:val=")" + text + R"("/><w:lvlJc w:val="left"/><w:pPr><w:ind w:left=")" + std::to_string(720 * (level + 1)) +
               R"(" w:hanging="360"/></w:pPr></w:lvl>)";
    }
    return out + "</w:abstractNum>";
}

std::string attributeText(const QString& text)
{
    std::string out;
    CellText::appendXml(out, text.toStdString());
    std::string quoted;
    for (char c : out) quoted += c == '"' ? std::string("&quot;") : std::string(1, c);
    return quoted;
}

class Writer {
public:
    explicit Writer(const QTextDocument& document) : document(document) {}

    Package::Entries run()
    {
        body = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:document )" + namespaces + "><w:body>";
        TextModel::visit(*document.rootFrame(), [&](const QTextBlock& block) { paragraph(block); }, [&](const QTextTable& t) { table(t); });
        body += R"(<w:sectPr><w:pgSz w:w="12240" w:h="15840"/><w:pgMar w:top="1080" w:right="1080" w:bottom="1080" w:left="1080" w:header="720" w:footer="720" w:gutter="0"/></w:sectPr></w:body></w:document>)";

        std::string relationships = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                                    R"(<Relationship Id="rIdStyles" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
                                    R"(<Relationship Id="rIdNumbering" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/numbering" Target="numbering.xml"/>)";
        for (const auto& [target, id] : links) {
            relationships += R"(<Relationship Id=")" + id + R"(" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink" Target=")" +
                             attributeText(target) + R"(" TargetMode="External"/>)";
        }
        relationships += "</Relationships>";

        std::string numbering = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:numbering )" + namespaces + ">" + abstractList(0, false) + abstractList(1, true);
        for (const auto& [list, id] : numbers) {
            numbering += R"(<w:num w:numId=")" + std::to_string(id) + R"("><w:abstractNumId w:val=")" + (list.second ? "1" : "0") + R"("/>)";
            // Every numbered list counts from one.
            if (list.second) numbering += R"(<w:lvlOverride w:ilvl="0"><w:startOverride w:val="1"/></w:lvlOverride>)";
            numbering += "</w:num>";
        }
        numbering += "</w:numbering>";
        return {{"[Content_Types].xml", contentTypes},
                {"_rels/.rels", packageRelationships},
                {"word/document.xml", body},
                {"word/styles.xml", styles()},
                {"word/numbering.xml", numbering},
                {"word/_rels/document.xml.rels", relationships}};
    }

private:
    const QTextDocument& document;
    std::string body;
    std::map<QString, std::string> links;
    std::map<std::pair<const QTextList*, bool>, int> numbers;

    void text(const QString& text)
    {
        QString piece;
        const auto flush = [&] {
            if (piece.isEmpty()) return;
            body += R"(<w:t xml:space="preserve">)";
            CellText::appendXml(body, piece.toStdString());
            body += "</w:t>";
            piece.clear();
        };
        for (const QChar c : text) {
            if (c == '\t') {
                flush();
                body += "<w:tab/>";
            } else if (c == QChar(0x2028) || c == '\n') {
                flush();
                body += "<w:br/>";
            } else if (c != QChar::ObjectReplacementCharacter) {
                piece += c;
            }
        }
        flush();
    }

    void run(const QTextFragment& fragment, bool heading)
    {
        const QTextCharFormat format = fragment.charFormat();
        const bool link = format.isAnchor() && !format.anchorHref().isEmpty();
        if (link) {
            auto& id = links[format.anchorHref()];
            if (id.empty()) id = "rIdLink" + std::to_string(links.size());
            body += R"(<w:hyperlink r:id=")" + id + R"(">)";
        }
        std::string properties;
        if (link) properties += R"(<w:rStyle w:val="Hyperlink"/>)";
        if (const QStringList families = format.fontFamilies().toStringList(); !families.isEmpty()) {
            const std::string font = attributeText(families.front());
            properties += R"(<w:rFonts w:ascii=")" + font + R"(" w:hAnsi=")" + font + R"("/>)";
        }
        if (!heading && TextModel::isBold(format)) properties += "<w:b/>";
        if (format.fontItalic()) properties += "<w:i/>";
        if (format.fontStrikeOut()) properties += "<w:strike/>";
        if (format.hasProperty(QTextFormat::ForegroundBrush)) {
            const QColor c = format.foreground().color();
            properties += R"(<w:color w:val=")" + c.name().mid(1).toUpper().toStdString() + R"("/>)";
        }
        if (!heading) {
            const double size = TextModel::pointSize(format, document);
            if (std::abs(size - TextModel::bodyPointSize) > 0.01) properties += R"(<w:sz w:val=")" + std::to_string(int(std::lround(size * 2))) + R"("/>)";
        }
        if (format.fontUnderline() && !link) properties += R"(<w:u w:val="single"/>)";
        body += "<w:r>";
        if (!properties.empty()) body += "<w:rPr>" + properties + "</w:rPr>";
        text(fragment.text());
        body += "</w:r>";
        if (link) body += "</w:hyperlink>";
    }

    void paragraph(const QTextBlock& block)
    {
        const int heading = block.blockFormat().headingLevel();
        body += "<w:p>";
        if (heading > 0) {
            body += R"(<w:pPr><w:pStyle w:val="Heading)" + std::to_string(std::min(heading, 6)) + R"("/></w:pPr>)";
        } else if (const QTextList* list = block.textList()) {
            const bool ordered = TextModel::isOrderedList(block);
            auto& id = numbers[{ordered ? list : nullptr, ordered}];
            if (id == 0) id = int(numbers.size());
            body += R"(<w:pPr><w:pStyle w:val="ListParagraph"/><w:numPr><w:ilvl w:val=")" + std::to_string(std::min(TextModel::listLevel(block), 8)) +
                    R"("/><w:numId w:val=")" + std::to_string(id) + R"("/></w:numPr></w:pPr>)";
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().isValid()) run(it.fragment(), heading > 0);
        }
        body += "</w:p>";
    }

    void table(const QTextTable& table)
    {
        const int width = 9000 / std::max(1, table.columns());
        body += R"(<w:tbl><w:tblPr><w:tblStyle w:val="TableGrid"/><w:tblW w:w="0" w:type="auto"/></w:tblPr><w:tblGrid>)";
        for (int c = 0; c < table.columns(); ++c) body += R"(<w:gridCol w:w=")" + std::to_string(width) + R"("/>)";
        body += "</w:tblGrid>";
        for (int r = 0; r < table.rows(); ++r) {
            body += "<w:tr>";
            for (int c = 0; c < table.columns(); ++c) {
                body += R"(<w:tc><w:tcPr><w:tcW w:w=")" + std::to_string(width) + R"(" w:type="dxa"/></w:tcPr>)";
                const QTextTableCell cell = table.cellAt(r, c);
                bool any = false;
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (it.currentBlock().isValid()) {
                        paragraph(it.currentBlock());
                        any = true;
                    }
                }
                // Word needs a paragraph in every cell.
                if (!any) body += "<w:p/>";
                body += "</w:tc>";
            }
            body += "</w:tr>";
        }
        body += "</w:tbl>";
    }
};
}

void write(const QTextDocument& document, const Path& to)
{
    Package::write(Writer(document).run(), std::nullopt, to, Package::Compression::fast);
}

}
