#include "documents/DOCX.h"

#include "core/Errors.h"
#include "documents/Package.h"
#include "documents/TextModel.h"
#include "documents/XmlStream.h"

#include <QColor>
#include <QRegularExpression>
#include <QTextDocument>

#include <cstring>
#include <map>
#include <vector>

namespace DOCX {

namespace {
constexpr std::string_view W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr std::string_view R = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view Rel = "http://schemas.openxmlformats.org/package/2006/relationships";

const char* wordLocal(const char* name)
{
    return XmlStream::local(name, W);
}

// An attribute in the w: namespace ("w:val").
const char* wordAttribute(const char** attributes, const char* name)
{
    return XmlStream::attribute(attributes, (std::string(W) + " " + name).c_str());
}

// A toggle property: on unless its value says otherwise.
bool toggle(const char** attributes)
{
    const char* value = wordAttribute(attributes, "val");
    return !value || !(std::strcmp(value, "0") == 0 || std::strcmp(value, "false") == 0 || std::strcmp(value, "off") == 0 || std::strcmp(value, "none") == 0);
}

int number(const char* text, int fallback = 0)
{
    if (!text) return fallback;
    bool ok = false;
    const int n = QByteArray(text).toInt(&ok);
    return ok ? n : fallback;
}

struct Style {
    int heading = 0;
    int numId = 0, level = 0;
    std::optional<bool> bold, italic;
    std::string basedOn;
};

// word/styles.xml: each style's heading level, list and emphasis.
class StylesReader : public XmlStream::Handler {
public:
    std::map<std::string, Style> styles;

    void start(const char* name, const char** attributes) override
    {
        const char* local = wordLocal(name);
        if (!local) return;
        const std::string_view tag = local;
        if (tag == "style") {
            const char* id = wordAttribute(attributes, "styleId");
            current = id ? id : "";
            styles[current] = {};
        } else if (current.empty()) {
            return;
        } else if (tag == "name") {
            static const QRegularExpression heading("^heading ([1-9])$", QRegularExpression::CaseInsensitiveOption);
            const QString value = QString::fromUtf8(wordAttribute(attributes, "val"));
            if (const auto m = heading.match(value); m.hasMatch()) styles[current].heading = m.captured(1).toInt();
            else if (value.compare("Title", Qt::CaseInsensitive) == 0) styles[current].heading = 1;
        } else if (tag == "basedOn") {
            const char* value = wordAttribute(attributes, "val");
            styles[current].basedOn = value ? value : "";
        } else if (tag == "outlineLvl") {
            const int level = number(wordAttribute(attributes, "val"), 9);
            if (level < 6 && styles[current].heading == 0) styles[current].heading = level + 1;
        } else if (tag == "numId") {
            styles[current].numId = number(wordAttribute(attributes, "val"));
        } else if (tag == "ilvl") {
            styles[current].level = number(wordAttribute(attributes, "val"));
        } else if (tag == "b") {
            styles[current].bold = toggle(attributes);
        } else if (tag == "i") {
            styles[current].italic = toggle(attributes);
        }
    }
    void end(const char* name) override
    {
        if (const char* local = wordLocal(name); local && std::strcmp(local, "style") == 0) current.clear();
    }
    void text(std::string_view) override {}

    // A style with what it inherits filled in.
    Style resolved(const std::string& id) const
    {
        Style out;
        std::string at = id;
        for (int depth = 0; depth < 16 && !at.empty(); ++depth) {
            const auto found = styles.find(at);
            if (found == styles.end()) break;
            const Style& s = found->second;
            if (!out.heading) out.heading = s.heading;
            if (!out.numId) {
                out.numId = s.numId;
                out.level = s.level;
            }
            if (!out.bold) out.bold = s.bold;
            if (!out.italic) out.italic = s.italic;
            at = s.basedOn;
        }
        return out;
    }

private:
    std::string current;
};

// word/numbering.xml: which lists count and which show bullets.
class NumberingReader : public XmlStream::Handler {
public:
    bool ordered(int numId, int level) const
    {
        const auto num = abstractOf.find(numId);
        if (num == abstractOf.end()) return false;
        const auto format = formats.find({num->second, level});
        return format != formats.end() && format->second != "bullet" && format->second != "none";
    }

    void start(const char* name, const char** attributes) override
    {
        const char* local = wordLocal(name);
        if (!local) return;
        const std::string_view tag = local;
        if (tag == "abstractNum") abstractId = number(wordAttribute(attributes, "abstractNumId"));
        else if (tag == "lvl") level = number(wordAttribute(attributes, "ilvl"));
        else if (tag == "numFmt" && abstractId >= 0) formats[{abstractId, level}] = wordAttribute(attributes, "val") ? wordAttribute(attributes, "val") : "";
        else if (tag == "num") numId = number(wordAttribute(attributes, "numId"));
        else if (tag == "abstractNumId" && numId >= 0) abstractOf[numId] = number(wordAttribute(attributes, "val"));
    }
    void end(const char* name) override
    {
        const char* local = wordLocal(name);
        if (local && std::strcmp(local, "abstractNum") == 0) abstractId = -1;
        if (local && std::strcmp(local, "num") == 0) numId = -1;
    }
    void text(std::string_view) override {}

private:
    int abstractId = -1, numId = -1, level = 0;
    std::map<std::pair<int, int>, std::string> formats;
    std::map<int, int> abstractOf;
};

// word/_rels/document.xml.rels: relationship id → target (the hyperlinks' addresses).
class RelationshipsReader : public XmlStream::Handler {
public:
    std::map<std::string, QString> targets;
    void start(const char* name, const char** attributes) override
    {
        const char* local = XmlStream::local(name, Rel);
        if (!local || std::strcmp(local, "Relationship") != 0) return;
        const char* id = XmlStream::attribute(attributes, "Id");
        const char* target = XmlStream::attribute(attributes, "Target");
        if (id && target) targets[id] = QString::fromUtf8(target);
    }
    void end(const char*) override {}
    void text(std::string_view) override {}
};

class BodyReader : public XmlStream::Handler {
public:
    BodyReader(const StylesReader& styles, const NumberingReader& numbering, const RelationshipsReader& relationships)
        : styles(styles), numbering(numbering), relationships(relationships)
    {
    }

    std::vector<TextModel::Block> blocks;

    void start(const char* name, const char** attributes) override
    {
        const char* local = wordLocal(name);
        if (!local) return;
        const std::string_view tag = local;
        // Pictures, embedded objects and deleted text show nothing; what surrounds them stays.
        if (tag == "drawing" || tag == "pict" || tag == "object" || tag == "delText" || tag == "instrText") {
            if (tag == "instrText") inInstruction = true;
            else ++hidden;
            return;
        }
        if (hidden) return;
        if (tag == "p") {
            paragraph = {};
            paragraphStyle = {};
            numId = -1;
            level = 0;
            outline = 0;
        } else if (tag == "pPr") inParagraphProperties = true;
        else if (tag == "rPr") inRunProperties = !inParagraphProperties;
        else if (tag == "pStyle") paragraphStyle = styles.resolved(value(attributes));
        else if (tag == "numId") numId = number(wordAttribute(attributes, "val"));
        else if (tag == "ilvl") level = std::clamp(number(wordAttribute(attributes, "val")), 0, 8);
        else if (tag == "outlineLvl" && inParagraphProperties) {
            const int n = number(wordAttribute(attributes, "val"), 9);
            if (n < 6) outline = n + 1;
        } else if (tag == "r") {
            format = {};
            if (paragraphStyle.bold.value_or(false)) format.setFontWeight(QFont::Bold);
            if (paragraphStyle.italic.value_or(false)) format.setFontItalic(true);
        } else if (inRunProperties) {
            runProperty(tag, attributes);
        } else if (tag == "t") inText = true;
        else if (tag == "tab" && !inParagraphProperties) add("\t");
        else if (tag == "br" || tag == "cr") add(QString(QChar(0x2028)));
        else if (tag == "noBreakHyphen") add(QString(QChar(0x2011)));
        else if (tag == "hyperlink") {
            const char* id = XmlStream::attribute(attributes, (std::string(R) + " id").c_str());
            const auto target = id ? relationships.targets.find(id) : relationships.targets.end();
            link = target == relationships.targets.end() ? QString() : target->second;
        } else if (tag == "fldSimple") {
            link = hyperlinkOf(QString::fromUtf8(wordAttribute(attributes, "instr")));
        } else if (tag == "fldChar") {
            const std::string_view type = wordAttribute(attributes, "fldCharType") ? wordAttribute(attributes, "fldCharType") : "";
            if (type == "begin") instruction.clear();
            else if (type == "separate") link = hyperlinkOf(instruction);
            else if (type == "end") link.clear();
        } else if (tag == "tbl") {
            tables.emplace_back();
        } else if (tag == "tr" && !tables.empty()) {
            tables.back().rows.emplace_back();
        } else if (tag == "tc" && !tables.empty() && !tables.back().rows.empty()) {
            tables.back().rows.back().emplace_back();
        }
    }

    void end(const char* name) override
    {
        const char* local = wordLocal(name);
        if (!local) return;
        const std::string_view tag = local;
        if (tag == "drawing" || tag == "pict" || tag == "object" || tag == "delText") {
            if (hidden) --hidden;
            return;
        }
        if (tag == "instrText") inInstruction = false;
        if (hidden) return;
        if (tag == "t") inText = false;
        else if (tag == "pPr") inParagraphProperties = false;
        else if (tag == "rPr") inRunProperties = false;
        else if (tag == "hyperlink" || tag == "fldSimple") link.clear();
        else if (tag == "p") finishParagraph();
        else if (tag == "tbl" && !tables.empty()) TextModel::closeTable(blocks, tables);
    }

    void text(std::string_view text) override
    {
        if (inInstruction) instruction += QString::fromUtf8(text.data(), qsizetype(text.size()));
        else if (inText && !hidden) add(QString::fromUtf8(text.data(), qsizetype(text.size())));
    }

private:
    const StylesReader& styles;
    const NumberingReader& numbering;
    const RelationshipsReader& relationships;
    int hidden = 0;
    bool inText = false, inInstruction = false, inParagraphProperties = false, inRunProperties = false;
    TextModel::Paragraph paragraph;
    Style paragraphStyle;
    int numId = -1, level = 0, outline = 0;
    QTextCharFormat format;
    QString link, instruction;
    std::vector<TextModel::Table> tables;

    static std::string value(const char** attributes)
    {
        const char* v = wordAttribute(attributes, "val");
        return v ? v : "";
    }

    static QString hyperlinkOf(const QString& instruction)
    {
        static const QRegularExpression hyperlink(R"(HYPERLINK\s+"([^"]*)\")");
        const auto m = hyperlink.match(instruction);
        return m.hasMatch() ? m.captured(1) : QString();
    }

    void runProperty(std::string_view tag, const char** attributes)
    {
        if (tag == "b") format.setFontWeight(toggle(attributes) ? QFont::Bold : QFont::Normal);
        else if (tag == "i") format.setFontItalic(toggle(attributes));
        else if (tag == "u") format.setFontUnderline(toggle(attributes));
        else if (tag == "strike" || tag == "dstrike") format.setFontStrikeOut(toggle(attributes));
        else if (tag == "sz") {
            if (const int halfPoints = number(wordAttribute(attributes, "val")); halfPoints > 0) format.setFontPointSize(halfPoints / 2.0);
        } else if (tag == "color") {
            const QString hex = QString::fromUtf8(wordAttribute(attributes, "val"));
            if (const QColor colour("#" + hex); hex.size() == 6 && colour.isValid()) format.setForeground(colour);
        } else if (tag == "rStyle") {
            const Style style = styles.resolved(value(attributes));
            if (style.bold) format.setFontWeight(*style.bold ? QFont::Bold : QFont::Normal);
            if (style.italic) format.setFontItalic(*style.italic);
        } else if (tag == "rFonts") {
            if (const char* font = wordAttribute(attributes, "ascii")) format.setFontFamilies({QString::fromUtf8(font)});
        }
    }

    void add(const QString& s)
    {
        QTextCharFormat f = format;
        if (!link.isEmpty()) {
            f.setAnchor(true);
            f.setAnchorHref(link);
        }
        if (!paragraph.runs.empty() && paragraph.runs.back().format == f) paragraph.runs.back().text += s;
        else paragraph.runs.push_back({s, f});
    }

    void finishParagraph()
    {
        paragraph.heading = outline ? outline : paragraphStyle.heading;
        // Headings stay headings even when the writer numbers them through a list, as
        // LibreOffice does with its outline numbering.
        const int list = numId >= 0 ? numId : paragraphStyle.numId;
        const int depth = numId >= 0 ? level : paragraphStyle.level;
        if (paragraph.heading == 0 && list > 0) paragraph.item = TextModel::Paragraph::Item{QString::number(list), depth, numbering.ordered(list, depth)};
        TextModel::place(blocks, tables, std::move(paragraph));
        paragraph = {};
    }
};

template <class Reader>
void parsePart(const std::string& xml, Reader& reader)
{
    if (!xml.empty()) XmlStream::parse(xml, reader, XmlStream::Names::byNamespace);
}
}

std::unique_ptr<QTextDocument> parse(const Parts& parts)
{
    StylesReader styles;
    NumberingReader numbering;
    RelationshipsReader relationships;
    parsePart(parts.styles, styles);
    parsePart(parts.numbering, numbering);
    parsePart(parts.relationships, relationships);
    BodyReader body(styles, numbering, relationships);
    if (!XmlStream::parse(parts.document, body, XmlStream::Names::byNamespace)) throw XmlStream::Malformed();
    return TextModel::build(body.blocks);
}

std::unique_ptr<QTextDocument> read(const Path& file)
{
    const std::set<std::string> names = Package::entryNames(file);
    if (!names.count("word/document.xml")) throw Package::damaged(file);
    const auto part = [&](const std::string& name) { return names.count(name) ? Package::read(file, name) : std::string(); };
    Parts parts{part("word/document.xml"), part("word/_rels/document.xml.rels"), part("word/styles.xml"), part("word/numbering.xml")};
    try {
        return parse(parts);
    } catch (const XmlStream::Malformed&) {
        throw Package::damaged(file);
    }
}

}
