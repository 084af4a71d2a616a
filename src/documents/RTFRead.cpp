#include "documents/RTF.h"

#include "documents/CodePage.h"
#include "documents/TextModel.h"

#include <QColor>
#include <QRegularExpression>
#include <QTextDocument>

#include <cctype>
#include <map>
#include <set>
#include <vector>

namespace RTF {

namespace {
// Where the text of a group goes.
enum class Destination { body, skip, fontTable, colorTable, fieldInstruction, listMarker };

struct State {
    Destination destination = Destination::body;
    int font = -1;
    double size = TextModel::bodyPointSize;
    bool bold = false, italic = false, underline = false, strike = false;
    int color = 0;
    int skipAfterUnicode = 1;  // \ucN: fallback characters that follow each \u
    QString link;
    bool fieldResult = false;
};

struct Font {
    QString name;
    int codePage = 0;
};

// Groups whose text is never shown.
const std::set<std::string_view> skipped = {
    "stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
    "footnote", "listtable", "listoverridetable", "themedata", "colorschememapping", "datastore", "latentstyles",
    "xmlnstbl", "generator", "rsidtbl", "object", "shp", "shpinst", "nonshppict", "revtbl", "bkmkstart", "bkmkend",
    "annotation", "atnid", "atnauthor", "filetbl", "mmathPr", "wgrffmtfilter", "pgdsctbl", "userprops", "docvar",
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : in(bytes) {}

    std::unique_ptr<QTextDocument> run()
    {
        while (at < in.size()) {
            const char c = in[at++];
            if (c == '{') open();
            else if (c == '}') close();
            else if (c == '\\') control();
            else if (c != '\r' && c != '\n') character(c);
        }
        endParagraph(false);
        flushTable();
        return TextModel::build(blocks);
    }

private:
    std::string_view in;
    std::size_t at = 0;
    std::vector<State> stack{State{}};
    bool starred = false;  // "\*": the group is dropped unless its destination is known
    int pendingSkip = 0;

    int defaultCodePage = 1252;
    std::map<int, Font> fonts;
    int fontBeingNamed = 0;
    std::vector<QColor> colors;
    int red = 0, green = 0, blue = 0;
    QString instruction;

    std::string bytes;  // undecoded code-page bytes of the current run
    TextModel::Paragraph paragraph;
    bool listItem = false;
    QString marker;
    int listId = 0, listLevel = 0;

    bool inTable = false;
    std::optional<TextModel::Table> table;
    std::vector<TextModel::Cell> row;
    TextModel::Cell cell;
    std::vector<TextModel::Block> blocks;

    State& state() { return stack.back(); }

    void open()
    {
        flush();
        stack.push_back(state());
        state().fieldResult = false;
    }

    void close()
    {
        flush();
        if (stack.size() <= 1) return;  // an unbalanced "}"
        const State closing = state();
        stack.pop_back();
        if (closing.destination == Destination::fontTable && state().destination != Destination::fontTable) return;
        if (closing.destination == Destination::fieldInstruction && state().destination != Destination::fieldInstruction) {
            static const QRegularExpression hyperlink(R"(HYPERLINK\s+(?:\\l\s+)?"([^"]*)\")");
            const auto match = hyperlink.match(instruction);
            pendingLink = match.hasMatch() ? match.captured(1) : QString();
            instruction.clear();
        }
        if (closing.fieldResult) pendingLink.clear();
    }

    QString pendingLink;

    void character(char c)
    {
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        switch (state().destination) {
        case Destination::skip: return;
        case Destination::fontTable:
            if (c == ';') return;
            fonts[fontBeingNamed].name += QChar::fromLatin1(c);
            return;
        case Destination::colorTable:
            if (c == ';') {
                colors.push_back(QColor(red, green, blue));
                red = green = blue = 0;
            }
            return;
        case Destination::fieldInstruction: instruction += QChar::fromLatin1(c); return;
        case Destination::listMarker: marker += QChar::fromLatin1(c); return;
        case Destination::body: bytes += c; return;
        }
    }

    void text(const QString& s)
    {
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        flush();
        switch (state().destination) {
        case Destination::body: append(s); return;
        case Destination::fieldInstruction: instruction += s; return;
        case Destination::listMarker: marker += s; return;
        case Destination::fontTable: fonts[fontBeingNamed].name += s; return;
        default: return;
        }
    }

    int codePage()
    {
        const auto font = fonts.find(state().font);
        return font != fonts.end() && font->second.codePage ? font->second.codePage : defaultCodePage;
    }

    // Decodes the pending code-page bytes into the current run.
    void flush()
    {
        if (bytes.empty()) return;
        const QString s = CodePage::decode(bytes, codePage());
        bytes.clear();
        append(s);
    }

    void append(const QString& s)
    {
        if (s.isEmpty()) return;
        const State& st = state();
        QTextCharFormat format;
        if (const auto font = fonts.find(st.font); font != fonts.end() && !font->second.name.trimmed().isEmpty()) format.setFontFamilies({font->second.name.trimmed()});
        format.setFontPointSize(st.size);
        if (st.bold) format.setFontWeight(QFont::Bold);
        if (st.italic) format.setFontItalic(true);
        if (st.underline) format.setFontUnderline(true);
        if (st.strike) format.setFontStrikeOut(true);
        if (st.color > 0 && st.color < int(colors.size())) format.setForeground(colors[st.color]);
        if (!st.link.isEmpty()) {
            format.setAnchor(true);
            format.setAnchorHref(st.link);
        }
        if (!paragraph.runs.empty() && paragraph.runs.back().format == format) paragraph.runs.back().text += s;
        else paragraph.runs.push_back({s, format});
    }

    void endParagraph(bool always)
    {
        flush();
        if (!always && paragraph.runs.empty() && !listItem) return;
        if (listItem) {
            static const QRegularExpression numbered(R"(^\s*\w+[.)])");
            // Bullets and numbers never share a list, also where the file gives both one id.
            const bool ordered = numbered.match(marker).hasMatch();
            paragraph.item = TextModel::Paragraph::Item{QString::number(listId) + (ordered ? "n" : "b"), listLevel, ordered};
        }
        if (inTable) {
            cell.push_back(std::move(paragraph));
        } else {
            flushTable();
            blocks.push_back({std::move(paragraph), std::nullopt});
        }
        paragraph = {};
        listItem = false;
        marker.clear();
    }

    void flushTable()
    {
        if (!cell.empty()) row.push_back(std::move(cell));
        if (!row.empty()) {
            if (!table) table.emplace();
            table->rows.push_back(std::move(row));
        }
        cell = {};
        row = {};
        if (table) blocks.push_back({std::nullopt, std::move(*table)});
        table.reset();
    }

    void control()
    {
        if (at >= in.size()) return;
        const char c = in[at];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++at;
            symbol(c);
            return;
        }
        const std::size_t start = at;
        while (at < in.size() && at - start < 32 && std::isalpha(static_cast<unsigned char>(in[at]))) ++at;
        const std::string_view word = in.substr(start, at - start);
        bool hasParameter = false;
        long parameter = 0;
        bool negative = false;
        if (at < in.size() && in[at] == '-') {
            negative = true;
            ++at;
        }
        for (int digits = 0; at < in.size() && std::isdigit(static_cast<unsigned char>(in[at])); ++at, ++digits) {
            if (digits < 10) parameter = parameter * 10 + (in[at] - '0');
            hasParameter = true;
        }
        if (negative) parameter = -parameter;
        if (at < in.size() && in[at] == ' ') ++at;
        keyword(word, hasParameter, static_cast<int>(std::clamp(parameter, -2147483647L, 2147483647L)));
    }

    void symbol(char c)
    {
        switch (c) {
        case '\'': {
            if (at + 2 > in.size()) return;
            const std::string hex(in.substr(at, 2));
            at += 2;
            if (pendingSkip > 0) {
                --pendingSkip;
                return;
            }
            character(static_cast<char>(std::strtol(hex.c_str(), nullptr, 16)));
            return;
        }
        case '*': starred = true; return;
        case '~': text(QString(QChar(0x00A0))); return;
        case '_': text(QString(QChar(0x2011))); return;
        case '-': return;
        case '\n':
        case '\r':
            if (state().destination == Destination::body) endParagraph(true);
            return;
        default: character(c); return;
        }
    }

    void setDestination(Destination destination)
    {
        flush();
        state().destination = destination;
    }

    void keyword(std::string_view word, bool hasParameter, int n)
    {
        const bool wasStarred = starred;
        starred = false;
        State& st = state();
        if (st.destination == Destination::skip) {
            if (word == "bin") at += std::min<std::size_t>(std::max(n, 0), in.size() - at);
            return;
        }
        const bool on = !hasParameter || n != 0;
        if (word == "rtf" || word == "ansi") return;
        if (word == "ansicpg") defaultCodePage = n;
        else if (word == "fonttbl") setDestination(Destination::fontTable);
        else if (word == "colortbl") setDestination(Destination::colorTable);
        else if (word == "f") {
            flush();
            if (st.destination == Destination::fontTable) fontBeingNamed = n;
            else st.font = n;
        } else if (word == "fcharset") fonts[fontBeingNamed].codePage = CodePage::ofCharset(n);
        else if (word == "cpg" && st.destination == Destination::fontTable) fonts[fontBeingNamed].codePage = n;
        else if (word == "red") red = n;
        else if (word == "green") green = n;
        else if (word == "blue") blue = n;
        else if (word == "fs") { flush(); st.size = hasParameter && n > 0 ? n / 2.0 : TextModel::bodyPointSize; }
        else if (word == "b") { flush(); st.bold = on; }
        else if (word == "i") { flush(); st.italic = on; }
        else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "ulth") { flush(); st.underline = on; }
        else if (word == "ulnone") { flush(); st.underline = false; }
        else if (word == "strike" || word == "striked") { flush(); st.strike = on; }
        else if (word == "cf") { flush(); st.color = n; }
        else if (word == "plain") {
            flush();
            st.size = TextModel::bodyPointSize;
            st.bold = st.italic = st.underline = st.strike = false;
            st.color = 0;
        } else if (word == "par" || word == "sect" || word == "page") {
            if (st.destination == Destination::body) endParagraph(true);
        } else if (word == "line") text(QString(QChar(0x2028)));
        else if (word == "tab") text("\t");
        else if (word == "emdash") text(QString(QChar(0x2014)));
        else if (word == "endash") text(QString(QChar(0x2013)));
        else if (word == "bullet") text(QString(QChar(0x2022)));
        else if (word == "lquote") text(QString(QChar(0x2018)));
        else if (word == "rquote") text(QString(QChar(0x2019)));
        else if (word == "ldblquote") text(QString(QChar(0x201C)));
        else if (word == "rdblquote") text(QString(QChar(0x201D)));
        else if (word == "u") {
            // Signed 16-bit units; surrogate pairs arrive as two escapes.
            text(QString(QChar(static_cast<char16_t>(n < 0 ? n + 65536 : n))));
            pendingSkip = st.skipAfterUnicode;
        } else if (word == "uc") st.skipAfterUnicode = std::max(0, n);
        else if (word == "bin") {
            at += std::min<std::size_t>(std::max(n, 0), in.size() - at);
        } else if (word == "pard") {
            flush();
            inTable = false;
            listItem = false;
            listLevel = 0;
        } else if (word == "intbl") inTable = true;
        else if (word == "cell") {
            endParagraph(false);
            row.push_back(std::move(cell));
            cell = {};
        } else if (word == "row") {
            if (!cell.empty()) row.push_back(std::move(cell));
            cell = {};
            if (!table) table.emplace();
            table->rows.push_back(std::move(row));
            row = {};
            inTable = false;
        } else if (word == "ls") {
            listItem = true;
            listId = n;
        } else if (word == "ilvl") listLevel = std::clamp(n, 0, 8);
        else if (word == "pntext" || word == "listtext") {
            listItem = true;
            setDestination(Destination::listMarker);
        } else if (word == "pn") {
            listItem = true;
            setDestination(Destination::skip);
        } else if (word == "field") flush();
        else if (word == "fldinst") setDestination(Destination::fieldInstruction);
        else if (word == "fldrslt") {
            flush();
            st.fieldResult = true;
            st.link = pendingLink;
        } else if (skipped.count(word) || wasStarred) setDestination(Destination::skip);
    }
};
}

std::unique_ptr<QTextDocument> read(std::string_view bytes)
{
    std::size_t start = 0;
    while (start < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[start]))) ++start;
    if (bytes.substr(start, 5) != "{\\rtf") throw NotRTF();
    return Reader(bytes.substr(start)).run();
}

}
