#include "PackageFixture.h"

#include "documents/ODS.h"
#include "documents/Package.h"
#include "documents/XLSX.h"

using namespace TestSupport;

namespace {
using PackageFixture::data;
using PackageFixture::odsContent;

std::string row(const std::string& cells, const std::string& attributes = "")
{
    return "<table:table-row" + attributes + ">" + cells + "</table:table-row>";
}

std::string cell(const std::string& text, const std::string& attributes = "")
{
    return "<table:table-cell" + attributes + "><text:p>" + text + "</text:p></table:table-cell>";
}
}

TEST(ODSTest, WrittenPackageReadsBack)
{
    TempDir dir;
    const Path file = dir / "out.ods";
    ODS::write({{"a&b", "", "-2.5", "007"}, {}, {"1e3"}}, file);
    EXPECT_EQ(Package::read(file, "mimetype"), "application/vnd.oasis.opendocument.spreadsheet");
    const std::string xml = Package::read(file, "content.xml");
    EXPECT_TRUE(xml.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content ")) << xml;
    // A leading zero keeps the text a text.
    EXPECT_NE(xml.find("<table:table table:name=\"Sheet1\"><table:table-row><table:table-cell office:value-type=\"string\"><text:p>a&amp;b</text:p></table:table-cell>"
                       "<table:table-cell/><table:table-cell office:value-type=\"float\" office:value=\"-2.5\"><text:p>-2.5</text:p></table:table-cell>"
                       "<table:table-cell office:value-type=\"string\"><text:p>007</text:p></table:table-cell></table:table-row>"
                       "<table:table-row></table:table-row><table:table-row><table:table-cell office:value-type=\"string\"><text:p>1e3</text:p>"),
              std::string::npos);
    EXPECT_NE(Package::read(file, "META-INF/manifest.xml").find("manifest:full-path=\"content.xml\""), std::string::npos);

    // White space is written as the elements office applications keep.
    const Table table = {{"name", "qty", "note"}, {"apple", "3", "  two  spaces "}, {"", "-1.5", "line\nbreak\ttab & <tag>"}, {"x", "", ""}};
    ODS::write(table, dir / "round.ods");
    EXPECT_NE(Package::read(dir / "round.ods", "content.xml").find("<text:p><text:s text:c=\"2\"/>two <text:s/>spaces<text:s/></text:p>"), std::string::npos);
    EXPECT_EQ(ODS::read(dir / "round.ods"), table);
}

TEST(ODSTest, CellContentsAnnotationsAndDates)
{
    // Paragraphs, spaces, covered cells and displayed numbers; annotations, shapes and ruby
    // text are not the cell's value; dates and times as ISO 8601; the first sheet only.
    EXPECT_EQ(ODS::parseContent(readFile(data / "content-features.xml")),
              (Table{{"one\ntwo", "a   b c\td\ne", "", "50%", "value", "東京"},
                     {"2024-03-15", "2024-03-15T13:45:00", "13:45:00", "36:00:00", "shown as is", ""},
                     {"", "", "third column", "", "", ""}}));
    EXPECT_TRUE(ODS::parseContent(odsContent("")).empty());
}

TEST(ODSTest, RepeatsAreCappedAndTrimmed)
{
    const Table rows = ODS::parseContent(odsContent(row(cell("x", " table:number-columns-repeated=\"16384\""), " table:number-rows-repeated=\"1048576\"")));
    EXPECT_EQ(rows.size(), 2000u);
    EXPECT_EQ(rows.front().size(), 512u);
    // Empty repeats at the end cost nothing and vanish; in the middle they stay.
    const std::string emptyRow = "<table:table-cell table:number-columns-repeated=\"16384\"/>";
    EXPECT_EQ(ODS::parseContent(odsContent(row(cell("a") + "<table:table-cell table:number-columns-repeated=\"16383\"/>") + row(emptyRow, " table:number-rows-repeated=\"3\"") +
                                      row(cell("b", " table:number-columns-repeated=\"2\"")) + row(emptyRow, " table:number-rows-repeated=\"1048571\""))),
              (Table{{"a", ""}, {"", ""}, {"", ""}, {"", ""}, {"b", "b"}}));
    // Negative, zero and malformed counts.
    EXPECT_EQ(ODS::parseContent(odsContent(row(cell("gone"), " table:number-rows-repeated=\"0\"") +
                                      row(cell("gone", " table:number-columns-repeated=\"-4\"") + cell("k<text:s text:c=\"-1\"/>e<text:s text:c=\"99999999999999999999\"/>"),
                                          " table:number-rows-repeated=\"x\""))),
              (Table{{"ke" + std::string(10000, ' ')}}));
}

TEST(ODSTest, HostileAndBrokenFiles)
{
    // Twenty million repeated empty rows cost nothing at the end of a sheet; followed by
    // content they would have to be built, and are refused instead.
    std::string rows;
    for (int i = 0; i < 10001; ++i) rows += row("<table:table-cell/>", " table:number-rows-repeated=\"2000\"");
    EXPECT_TRUE(ODS::parseContent(odsContent(rows)).empty());
    EXPECT_EQ(errorOf([&] { ODS::parseContent(odsContent(rows + row(cell("x")))); }), "This spreadsheet is too large to open: it spans more than 20 million cells.");
    // One 1 KB cell repeated to a million cells is refused before it is built.
    EXPECT_EQ(errorOf([&] { ODS::parseContent(odsContent(row(cell(std::string(1024, 'x'), " table:number-columns-repeated=\"512\""), " table:number-rows-repeated=\"2000\""))); }),
              "This spreadsheet is too large to open: its cells hold more than 500 MB of text.");

    TempDir dir;
    writeFile(dir / "empty.ods", "");
    Package::write({{"other.xml", "<x/>"}}, "application/vnd.oasis.opendocument.spreadsheet", dir / "nocontent.ods");
    EXPECT_THROW(ODS::read(dir / "nocontent.ods"), KError);
    // A truncated sheet is never a shorter table.
    const std::string whole = odsContent(row(cell("kept")) + row(cell("lost")));
    Package::write({{"content.xml", whole.substr(0, whole.size() - 60)}}, "application/vnd.oasis.opendocument.spreadsheet", dir / "cut.ods");
    for (const std::string name : {"empty.ods", "cut.ods"}) {
        EXPECT_EQ(errorOf([&] { ODS::read(dir / name); }), name + " is damaged or isn't a real .ods file.");
    }
}

// Large contents are read on several threads in stretches of rows; empty rows between
// stretches stay, and rows of later tables never join the first.
TEST(ODSTest, LargeContentsReadInStretchesAsWhole)
{
    TempDir dir;
    const auto rows = [](int count, const std::string& text) {
        std::string xml;
        for (int r = 0; r < count; ++r) {
            xml += r % 3 == 0 ? row("<table:table-cell/>", " table:number-rows-repeated=\"5\"") : row(cell(text + std::to_string(r)) + cell("x"));
        }
        return xml;
    };
    const std::string second = "</table:table><table:table>";
    const struct {
        const char* what;
        std::string xml;
        std::size_t size;
    } cases[] = {
        {"one table", odsContent(rows(60000, "r")), 60000 + 20000 * 4},
        {"a large second table", odsContent(rows(10, "r") + second + rows(60000, "other")), 21},
        {"a second table after a large first", odsContent(rows(60000, "r") + second + rows(100, "other")), 60000 + 20000 * 4},
    };
    for (const auto& c : cases) {
        Package::write({{"content.xml", c.xml}}, "application/vnd.oasis.opendocument.spreadsheet", dir / "big.ods");
        const Table read = ODS::read(dir / "big.ods");
        EXPECT_EQ(read.size(), c.size) << c.what;
        EXPECT_EQ(read, ODS::parseContent(c.xml)) << c.what;
    }
}

// The same sheet saved by LibreOffice in both formats reads the same: the displayed texts,
// so the unformatted booleans show as 1 and 0.
TEST(ODSTest, SpreadsheetFromLibreOfficeReadsAsItsXLSXTwin)
{
    EXPECT_EQ(ODS::read(data / "libreoffice.ods"), XLSX::read(data / "libreoffice.xlsx"));
}
