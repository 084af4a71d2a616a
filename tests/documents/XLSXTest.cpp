#include "TestSupport.h"

#include "core/Errors.h"
#include "documents/Package.h"
#include "documents/XLSX.h"
#include "documents/XLSXParsers.h"

using namespace TestSupport;
namespace SheetParser = XLSX::SheetParser;

namespace {
const Path data = Path(VARNOLT_TEST_DATA) / "documents";

std::string sheetBody(const std::string& cells)
{
    return R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" + cells + "</sheetData></worksheet>";
}

// A workbook of the given parts, zipped like any other package.
Path workbook(const TempDir& dir, const std::string& name, const Package::Entries& parts)
{
    const Path path = dir / name;
    Package::write(parts, std::nullopt, path);
    return path;
}
}

TEST(XLSXTest, ColumnLettersAndPositions)
{
    for (const auto& [column, letters] : std::vector<std::pair<int, std::string>>{{0, "A"}, {25, "Z"}, {26, "AA"}, {701, "ZZ"}, {702, "AAA"}}) {
        EXPECT_EQ(XLSX::columnLetters(column), letters);
    }
    EXPECT_EQ(SheetParser::position("B3"), std::pair(2LL, 1LL));
    EXPECT_EQ(SheetParser::position("aa1"), std::pair(0LL, 26LL));
    EXPECT_EQ(SheetParser::position("12"), std::pair(11LL, -1LL));
    EXPECT_EQ(SheetParser::position("A0"), std::pair(-1LL, 0LL));
    for (const char* bad : {"A", "A1x", "", "A99999999999999999999999"}) EXPECT_FALSE(SheetParser::position(bad)) << bad;
}

TEST(XLSXTest, WriterSheetSharedStringsAndReadingBack)
{
    TempDir dir;
    const Path empty = dir / "empty.xlsx";
    XLSX::write({}, empty);
    EXPECT_NE(Package::read(empty, "xl/worksheets/sheet1.xml").find(R"(<dimension ref="A1:A1"/><sheetData></sheetData>)"), std::string::npos);
    EXPECT_NE(Package::read(empty, "xl/sharedStrings.xml").find(R"(count="0" uniqueCount="0"></sst>)"), std::string::npos);
    EXPECT_EQ(Package::read(empty, "_rels/.rels").find("\n"), std::string::npos);

    const Path book = dir / "book.xlsx";
    XLSX::write({{"007", "-3.50", "3.", "1e3", "+1", " 2", ".5"}, {}, {"x", "", "x & <y>"}, {"x"}}, book);
    const std::string sheet = Package::read(book, "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find(R"(<dimension ref="A1:G4"/>)"), std::string::npos);
    EXPECT_NE(sheet.find(R"(<c r="A1"><v>007</v></c><c r="B1"><v>-3.50</v></c><c r="C1" t="s"><v>0</v></c><c r="D1" t="s"><v>1</v></c>)"), std::string::npos);
    EXPECT_NE(sheet.find(R"(<row r="2"></row>)"), std::string::npos);
    EXPECT_NE(sheet.find(R"(<row r="3"><c r="A3" t="s"><v>5</v></c><c r="C3" t="s"><v>6</v></c></row><row r="4"><c r="A4" t="s"><v>5</v></c></row>)"), std::string::npos);
    const std::string strings = Package::read(book, "xl/sharedStrings.xml");
    EXPECT_NE(strings.find(R"(count="7" uniqueCount="7">)"), std::string::npos);
    EXPECT_NE(strings.find(R"(<si><t xml:space="preserve">x &amp; &lt;y&gt;</t></si></sst>)"), std::string::npos);

    const Path numbers = dir / "numbers.xlsx";
    XLSX::write({{"1", "2"}, {"3.25"}}, numbers);
    EXPECT_NE(Package::read(numbers, "xl/sharedStrings.xml").find(R"(count="0" uniqueCount="0">)"), std::string::npos);

    const Table table = {{"name", "qty", "note"}, {"apple", "3", "two  spaces"}, {"", "-1.5", "line\nbreak & <tag>"}, {"Ünïcødé ✓", "", "cr\rkept"}};
    XLSX::write(table, dir / "round.xlsx");
    EXPECT_EQ(XLSX::read(dir / "round.xlsx"), table);
    // Characters XML cannot carry are left out rather than making the part unreadable.
    XLSX::write({{"bell\x07", "ok"}}, dir / "controls.xlsx");
    EXPECT_EQ(XLSX::read(dir / "controls.xlsx"), (Table{{"bell", "ok"}}));
}

TEST(XLSXTest, SheetParserCells)
{
    const std::vector<std::string> strings = {"zero", "one"};
    EXPECT_TRUE(SheetParser::parse(sheetBody(""), strings).empty());
    EXPECT_EQ(SheetParser::parse(sheetBody(R"(<row r="1"><c r="A1" t="s"><v>1</v></c></row><row r="3"><c r="C3"><v>7</v></c></row>)"), strings),
              (Table{{"one", "", ""}, {"", "", ""}, {"", "", "7"}}));
    EXPECT_EQ(SheetParser::parse(sheetBody(R"(<row><c r="A1" t="b"><v>0</v></c><c r="B1" t="b"><v>1</v></c><c r="C1" t="e"><v>#N/A</v></c>)"
                                           R"(<c r="D1" t="s"><v>2</v></c><c r="E1" t="s"><v>-1</v></c><c r="F1" t="s"><v>x</v></c><c r="G1" t="s"><v>+0</v></c>)"
                                           R"(<c r="H1" t="inlineStr"><is><r><t>rich </t></r><r><t>text</t></r></is></c><c r="I1"><f>A1*2</f><v>4</v></c>)"
                                           R"(<c r="J1"><v>1</v></c><c r="J1"><v>2</v></c><c r="5"><v>no column</v></c><c r="A0"><v>no row</v></c></row>)"),
                                 strings),
              (Table{{"FALSE", "TRUE", "#N/A", "2", "-1", "x", "zero", "rich text", "4", "2"}}));
    // Cells without a reference follow the previous cell of their row.
    EXPECT_EQ(SheetParser::parse(sheetBody(R"(<row r="2"><c><v>a</v></c><c><v>b</v></c></row><row><c r="B3"><v>c</v></c><c><v>d</v></c></row>)"), {}),
              (Table{{"", "", ""}, {"a", "b", ""}, {"", "c", "d"}}));

    const auto strings2 = XLSX::SharedStringsParser::parse(R"(<sst><si><t>plain</t></si><si><r><t>ri</t></r><r><t>ch</t></r><rPh><t>ph</t></rPh></si><si/></sst>)");
    EXPECT_EQ(strings2, (std::vector<std::string>{"plain", "richph", ""}));
    EXPECT_TRUE(XLSX::SharedStringsParser::parse("").empty());
}

TEST(XLSXTest, MalformedAndHostileSheets)
{
    // Malformed XML keeps the cells read before the fault.
    EXPECT_EQ(SheetParser::parse(sheetBody(R"(<row><c r="A1"><v>kept</v></c><c r="B1"><v>lost</v></broken>)"), {}), (Table{{"kept"}}));
    EXPECT_TRUE(SheetParser::parse("not xml at all", {}).empty());
    EXPECT_EQ(XLSX::SharedStringsParser::parse("<sst><si><t>a</t></si><si><t>b</t"), std::vector<std::string>{"a"});

    // A cell far away would need 17 billion cells; a large but real extent still reads.
    EXPECT_EQ(errorOf([] { SheetParser::parse(sheetBody(R"(<row><c r="A1"><v>1</v></c><c r="XFD1048576"><v>2</v></c></row>)"), {}); }),
              "This spreadsheet is too large to open: it spans more than 20 million cells.");
    EXPECT_THROW(SheetParser::parse(sheetBody(R"(<row><c r="ZZZZZZZZZZZZZZZZZZZZ1"><v>2</v></c></row>)"), {}), KError);
    EXPECT_THROW(SheetParser::parse(sheetBody(R"(<row><c r="A99999999"><v>2</v></c></row>)"), {}), KError);
    const Table tall = SheetParser::parse(sheetBody(R"(<row><c r="A100000"><v>x</v></c></row>)"), {});
    EXPECT_EQ(tall.size(), 100000u);
    EXPECT_EQ(tall.back(), Row{"x"});
}

TEST(XLSXTest, WorkbooksFromOtherApplications)
{
    // LibreOffice: first sheet stored as worksheets/first.xml behind rId2, relative target.
    EXPECT_EQ(XLSX::firstSheetPath(data / "libreoffice.xlsx"), "xl/worksheets/first.xml");
    EXPECT_EQ(XLSX::read(data / "libreoffice.xlsx"), (Table{{"Name", "Amount", "Flag", "Note"},
                                                           {"Widget", "12.5", "1", "two  spaces"},
                                                           {"Gadget", "-3", "0", "line one\nline two"},
                                                           {"Ünïcødé ✓", "25", "#DIV/0!", ""},
                                                           {"merged", "", "x", ""}}));
    // openpyxl: absolute target, inline strings, booleans, no shared-string part.
    EXPECT_EQ(XLSX::firstSheetPath(data / "openpyxl.xlsx"), "xl/worksheets/prices.xml");
    EXPECT_EQ(XLSX::read(data / "openpyxl.xlsx"), (Table{{"Item", "Price", "In stock"},
                                                        {"Tea", "4.25", "TRUE"},
                                                        {"Coffee", "12", "FALSE"},
                                                        {"Crème brûlée", "", ""},
                                                        {"", "", ""},
                                                        {"after a gap", "", ""}}));
}

TEST(XLSXTest, BrokenPackages)
{
    TempDir dir;
    writeFile(dir / "empty.xlsx", "");
    EXPECT_THROW(XLSX::read(dir / "empty.xlsx"), KError);
    writeFile(dir / "text.xlsx", "name,qty\n");
    EXPECT_THROW(XLSX::read(dir / "text.xlsx"), KError);

    // No workbook part: the default sheet name is tried, and its absence is reported.
    const Path noSheet = workbook(dir, "nosheet.xlsx", {{"xl/styles.xml", "<styleSheet/>"}});
    EXPECT_FALSE(XLSX::firstSheetPath(noSheet));
    EXPECT_THROW(XLSX::read(noSheet), KError);

    // A relationship naming a missing part fails too; an index past the shared strings
    // keeps its raw value.
    const std::string rels = R"(<Relationships><Relationship Id="rId7" Target="worksheets/gone.xml"/><Relationship Id="rId1" Target="/xl/worksheets/sheet1.xml"/></Relationships>)";
    const Path gone = workbook(dir, "gone.xlsx", {{"xl/_rels/workbook.xml.rels", rels}, {"xl/workbook.xml", R"(<workbook><sheets><sheet name="a" r:id="rId7"/></sheets></workbook>)"},
                                                  {"xl/worksheets/sheet1.xml", sheetBody("")}});
    EXPECT_THROW(XLSX::read(gone), KError);
    const Path outOfRange = workbook(dir, "range.xlsx", {{"xl/sharedStrings.xml", "<sst><si><t>only</t></si></sst>"},
                                                         {"xl/worksheets/sheet1.xml", sheetBody(R"(<c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>4294967296</v></c>)")}});
    EXPECT_EQ(XLSX::read(outOfRange), (Table{{"only", "4294967296"}}));
}
