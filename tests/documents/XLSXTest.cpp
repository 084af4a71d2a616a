#include "PackageFixture.h"

#include "documents/Package.h"
#include "documents/XLSX.h"
#include "documents/XLSXParsers.h"

using namespace TestSupport;
using XLSX::DateStyle;
namespace SheetParser = XLSX::SheetParser;

namespace {
using PackageFixture::data;
using PackageFixture::xlsxSheet;

// A workbook of the given parts.
Path workbook(const TempDir& dir, const std::string& name, const Package::Entries& parts)
{
    Package::write(parts, std::nullopt, dir / name);
    return dir / name;
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

TEST(XLSXTest, WrittenPartsAndReadingBack)
{
    TempDir dir;
    XLSX::write({}, dir / "empty.xlsx");
    EXPECT_NE(Package::read(dir / "empty.xlsx", "xl/worksheets/sheet1.xml").find(R"(<dimension ref="A1:A1"/><sheetData></sheetData>)"), std::string::npos);
    EXPECT_NE(Package::read(dir / "empty.xlsx", "xl/sharedStrings.xml").find(R"(count="0" uniqueCount="0"></sst>)"), std::string::npos);

    // Numbers are stored as numbers only when a spreadsheet shows them exactly as typed:
    // leading zeros, 16 or more digits and negative zero stay text.
    XLSX::write({{"7", "-3.50", "0.25", "3.", "1e3", "+1", " 2", ".5"}, {}, {"x", "", "x & <y>"}, {"007", "12345678901234567890", "-0", "x"}}, dir / "book.xlsx");
    const std::string sheet = Package::read(dir / "book.xlsx", "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find(R"(<dimension ref="A1:H4"/>)"), std::string::npos);
    EXPECT_NE(sheet.find(R"(<c r="A1"><v>7</v></c><c r="B1"><v>-3.50</v></c><c r="C1"><v>0.25</v></c><c r="D1" t="s"><v>0</v></c>)"), std::string::npos);
    EXPECT_NE(sheet.find(R"(<row r="2"></row><row r="3"><c r="A3" t="s"><v>5</v></c><c r="C3" t="s"><v>6</v></c></row>)"), std::string::npos);
    EXPECT_NE(sheet.find(R"(<row r="4"><c r="A4" t="s"><v>7</v></c><c r="B4" t="s"><v>8</v></c><c r="C4" t="s"><v>9</v></c><c r="D4" t="s"><v>5</v></c></row>)"), std::string::npos);
    const std::string strings = Package::read(dir / "book.xlsx", "xl/sharedStrings.xml");
    EXPECT_NE(strings.find(R"(count="10" uniqueCount="10">)"), std::string::npos);
    EXPECT_NE(strings.find(R"(<si><t xml:space="preserve">x &amp; &lt;y&gt;</t></si>)"), std::string::npos);

    const Table table = {{"name", "qty", "note"}, {"apple", "3", "two  spaces"}, {"", "-1.5", "line\nbreak & <tag>"}, {"Ünïcødé ✓", "", "cr\rkept"}};
    XLSX::write(table, dir / "round.xlsx");
    EXPECT_EQ(XLSX::read(dir / "round.xlsx"), table);
    // Characters XML cannot carry are left out rather than making the part unreadable.
    XLSX::write({{"bell\x07", "ok"}}, dir / "controls.xlsx");
    EXPECT_EQ(XLSX::read(dir / "controls.xlsx"), (Table{{"bell", "ok"}}));
}

// A sheet and a shared-string table of several compressed pieces each read back whole, with
// every string index pointing where it did when written.
TEST(XLSXTest, LargeTablesReadBack)
{
    TempDir dir;
    Table table;
    for (int r = 0; r < 40'000; ++r) table.push_back({"name " + std::to_string(r % 30'011), std::to_string(r), "note " + std::to_string(r)});
    XLSX::write(table, dir / "large.xlsx");
    EXPECT_TRUE(XLSX::read(dir / "large.xlsx") == table);
}

TEST(XLSXTest, TablesASheetCannotHoldAreRefused)
{
    TempDir dir;
    EXPECT_EQ(errorOf([&] { XLSX::write({Row(16385, "x")}, dir / "wide.xlsx"); }),
              "This table is too wide for XLSX: it has 16,385 columns, and a sheet holds at most 16,384.");
    EXPECT_EQ(errorOf([&] { XLSX::write(Table(1048577, Row{}), dir / "long.xlsx"); }),
              "This table is too long for XLSX: it has 1,048,577 rows, and a sheet holds at most 1,048,576.");
    EXPECT_TRUE(listFolder(dir.path()).empty());
}

TEST(XLSXTest, SheetAndSharedStringParsers)
{
    const std::string cells = readFile(data / "sheet-cells.xml");
    const Row blank(11, "");
    const XLSX::Book book{{"zero", "one"}, {}, false};
    EXPECT_EQ(SheetParser::parse(cells, book),
              (Table{{"FALSE", "TRUE", "#N/A", "one", "-1", "x", "zero", "4294967296", "rich text", "4", "2"},
                     blank,
                     {"a", "b", "", "", "", "", "", "", "", "", ""},
                     {"", "c", "d", "", "", "", "", "", "", "", ""}}));
    EXPECT_TRUE(SheetParser::parse(xlsxSheet(""), {}).empty());
    EXPECT_TRUE(XLSX::SharedStringsParser::parse(R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"/>)").empty());
}

TEST(XLSXTest, DateAndTimeStylesReadAsIso8601)
{
    TempDir dir;
    EXPECT_EQ(XLSX::read(PackageFixture::zipped("workbook-dates", dir.path(), "dates.xlsx")),
              (Table{{"2024-03-15", "2024-03-15T13:45:00", "36:00:00", "2.5", "06:00:00", "12", "not a date", "1900-02-28", "1900-03-01", "7"}}));

    const std::vector<std::pair<std::string, DateStyle>> codes = {
        {"yyyy-mm-dd", DateStyle::date},          {"mmm", DateStyle::date},           {"[$-409]mmmm d, yyyy;@", DateStyle::date},
        {"h:mm AM/PM", DateStyle::time},          {"mm:ss", DateStyle::time},         {"d/m/yy h:mm", DateStyle::dateTime},
        {"[h]:mm", DateStyle::duration},          {"General", DateStyle::none},       {"0.00E+00", DateStyle::none},
        {"\"day \"0", DateStyle::none},           {"0\\d", DateStyle::none},          {"#,##0;[Red]-#,##0", DateStyle::none},
    };
    for (const auto& [code, style] : codes) EXPECT_EQ(XLSX::dateStyle(code), style) << code;

    // Serial, style, whether the book counts from 1904, the text.
    for (const auto& [value, style, date1904, text] : std::vector<std::tuple<double, DateStyle, bool, std::optional<std::string>>>{
             {45366, DateStyle::date, true, "2028-03-16"}, {0, DateStyle::date, true, "1904-01-01"},
             {45366.99999999, DateStyle::dateTime, false, "2024-03-16T00:00:00"}, {2.25, DateStyle::time, false, "06:00:00"},
             {-1, DateStyle::date, false, std::nullopt}, {3e6, DateStyle::date, false, std::nullopt}}) {
        EXPECT_EQ(XLSX::dateText(value, style, date1904), text) << value;
    }
}

TEST(XLSXTest, DamagedAndHostileWorkbooksFail)
{
    TempDir dir;
    // The relationships name a sheet the package lacks; sheet1.xml holds four rows.
    const std::string fourRows = readFile(data / "workbook-gone/xl/worksheets/sheet1.xml");
    const std::string sst = R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>a</t></si><si><t>b</t></si></sst>)";
    writeFile(dir / "empty.xlsx", "");
    writeFile(dir / "text.xlsx", "name,qty\n");
    const std::vector<std::pair<Path, std::string>> failures = {
        {dir / "empty.xlsx", "empty.xlsx is damaged or isn't a real .xlsx file."},
        {dir / "text.xlsx", "text.xlsx is damaged or isn't a real .xlsx file."},
        // A truncated sheet or shared-string part is never a shorter table.
        {workbook(dir, "cut.xlsx", {{"xl/worksheets/sheet1.xml", fourRows.substr(0, fourRows.size() / 2)}}), "cut.xlsx is damaged or isn't a real .xlsx file."},
        {workbook(dir, "cutstrings.xlsx", {{"xl/sharedStrings.xml", sst.substr(0, sst.size() - 20)}, {"xl/worksheets/sheet1.xml", xlsxSheet(R"(<row><c r="A1" t="s"><v>1</v></c></row>)")}}),
         "cutstrings.xlsx is damaged or isn't a real .xlsx file."},
        {workbook(dir, "notxml.xlsx", {{"xl/worksheets/sheet1.xml", "not xml at all"}}), "notxml.xlsx is damaged or isn't a real .xlsx file."},
        // One far cell, or one long text used in many cells, would fill memory.
        {workbook(dir, "far.xlsx", {{"xl/worksheets/sheet1.xml", xlsxSheet(R"(<row><c r="A1"><v>1</v></c><c r="XFD1048576"><v>2</v></c></row>)")}}),
         "This spreadsheet is too large to open: it spans more than 20 million cells."},
    };
    for (const auto& [file, message] : failures) EXPECT_EQ(errorOf([&] { XLSX::read(file); }), message) << file;

    // Parts the package lacks: the sheet named by the relationships, or any sheet at all.
    EXPECT_THROW(XLSX::read(PackageFixture::zipped("workbook-gone", dir.path(), "gone.xlsx")), KError);
    EXPECT_THROW(XLSX::read(workbook(dir, "nosheet.xlsx", {{"xl/styles.xml", "<styleSheet/>"}})), KError);

    XLSX::Book repeated;
    repeated.strings = {std::string(1 << 20, 'x')};
    std::string cells;
    for (int r = 1; r <= 500; ++r) cells += "<row><c t=\"s\"><v>0</v></c></row>";
    EXPECT_EQ(errorOf([&] { SheetParser::parse(xlsxSheet(cells), repeated); }), "This spreadsheet is too large to open: its cells hold more than 500 MB of text.");
    EXPECT_EQ(SheetParser::parse(xlsxSheet(R"(<row><c r="A100000"><v>x</v></c></row>)"), {}).size(), 100000u);
}

// Sheets found wherever the relationships put them, and names counted by namespace.
TEST(XLSXTest, WorkbooksFromOtherApplications)
{
    // SpreadsheetML under the prefix "x", the first sheet's r:id after an xr:id naming the
    // second sheet, shared strings found through the relationships, phonetic readings left out.
    TempDir dir;
    const Path prefixed = PackageFixture::zipped("workbook-prefixed", dir.path(), "prefixed.xlsx");
    EXPECT_EQ(XLSX::firstSheetPath(prefixed), "xl/worksheets/data.xml");
    EXPECT_EQ(XLSX::read(prefixed), (Table{{"東京", "rich text"}, {"42", "大阪"}}));
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

// Large sheets are read on several threads, cut into stretches at rows; whatever the later
// stretches hold, the table is the one a single reading makes.
TEST(XLSXTest, LargeSheetsReadInStretchesAsWhole)
{
    const TempDir dir;
    const auto sheet = [](const std::function<std::string(int)>& rowTag, const std::string& last) {
        std::string rows;
        for (int r = 1; r <= 100000; ++r) {
            const std::string n = std::to_string(r);
            rows += rowTag(r) + "<c r=\"A" + n + "\"><v>" + n + "</v></c><c r=\"B" + n + "\" t=\"inlineStr\"><is><t>x" + n + "</t></is></c></row>\n";
        }
        return xlsxSheet(rows + last);
    };
    const auto numbered = [](int r) { return "<row r=\"" + std::to_string(r) + "\">"; };
    const struct {
        const char* what;
        std::string xml;
    } cases[] = {
        {"numbered rows", sheet(numbered, "")},
        {"rows without numbers", sheet([&](int r) { return r < 90000 ? numbered(r) : "<row>"; }, "")},
        {"a cell back in an earlier stretch", sheet(numbered, "<row r=\"100001\"><c r=\"C2\"><v>late</v></c></row>")},
    };
    for (const auto& c : cases) {
        const Path book = workbook(dir, "big.xlsx", {{"xl/worksheets/sheet1.xml", c.xml}});
        const Table read = SheetParser::parseEntry(book, "xl/worksheets/sheet1.xml", {});
        EXPECT_EQ(read, SheetParser::parse(c.xml, {})) << c.what;
        EXPECT_EQ(read[99999][1], "x100000") << c.what;
    }
}
