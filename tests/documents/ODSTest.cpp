#include "TestSupport.h"

#include "core/Errors.h"
#include "documents/ODS.h"
#include "documents/Package.h"

using namespace TestSupport;

namespace {
const Path data = Path(VARNOLT_TEST_DATA) / "documents";

std::string content(const std::string& tables)
{
    return R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet>)" +
           tables + "</office:spreadsheet></office:body></office:document-content>";
}

std::string sheet(const std::string& rows)
{
    return content("<table:table>" + rows + "</table:table>");
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
    EXPECT_NE(xml.find("<table:table table:name=\"Sheet1\"><table:table-row><table:table-cell office:value-type=\"string\"><text:p>a&amp;b</text:p></table:table-cell>"
                       "<table:table-cell/><table:table-cell office:value-type=\"float\" office:value=\"-2.5\"><text:p>-2.5</text:p></table:table-cell>"),
              std::string::npos);
    EXPECT_NE(xml.find("<table:table-row></table:table-row><table:table-row><table:table-cell office:value-type=\"string\"><text:p>1e3</text:p>"), std::string::npos);
    EXPECT_NE(Package::read(file, "META-INF/manifest.xml").find("manifest:full-path=\"content.xml\""), std::string::npos);

    // White space is written as the elements office applications keep.
    const Table table = {{"name", "qty", "note"}, {"apple", "3", "  two  spaces "}, {"", "-1.5", "line\nbreak\ttab & <tag>"}, {"x", "", ""}};
    ODS::write(table, dir / "round.ods");
    EXPECT_NE(Package::read(dir / "round.ods", "content.xml").find("<text:p><text:s text:c=\"2\"/>two <text:s/>spaces<text:s/></text:p>"), std::string::npos);
    EXPECT_EQ(ODS::read(dir / "round.ods"), table);
}

TEST(ODSTest, ParagraphsSpacesAndCoveredCells)
{
    EXPECT_EQ(ODS::parseContent(sheet("<table:table-row><table:table-cell><text:p>one</text:p><text:p>two</text:p></table:table-cell>"
                                      "<table:table-cell><text:p>a<text:s text:c=\"3\"/>b<text:s/>c<text:tab/>d<text:line-break/>e</text:p></table:table-cell>"
                                      "<table:covered-table-cell/><table:table-cell office:value-type=\"float\" office:value=\"0.5\"><text:p>50%</text:p></table:table-cell>"
                                      "</table:table-row>")),
              (Table{{"one\ntwo", "a   b c\td\ne", "", "50%"}}));
    // Only the first sheet is read, and a sheet whose content starts in its third column keeps
    // the empty leading cells.
    EXPECT_EQ(ODS::parseContent(content("<table:table><table:table-row><table:table-cell table:number-columns-repeated=\"2\"/><table:table-cell><text:p>c</text:p></table:table-cell></table:table-row>"
                                        "<table:table-row><table:table-cell/><table:table-cell><text:p> </text:p></table:table-cell></table:table-row></table:table>"
                                        "<table:table><table:table-row><table:table-cell><text:p>second</text:p></table:table-cell></table:table-row></table:table>")),
              (Table{{"", "", "c"}, {"", " ", ""}}));
    EXPECT_TRUE(ODS::parseContent(sheet("")).empty());
}

TEST(ODSTest, RepeatsAreCappedAndTrimmed)
{
    const Table rows = ODS::parseContent(sheet("<table:table-row table:number-rows-repeated=\"1048576\"><table:table-cell table:number-columns-repeated=\"16384\"><text:p>x</text:p></table:table-cell></table:table-row>"));
    EXPECT_EQ(rows.size(), 2000u);
    EXPECT_EQ(rows.front().size(), 512u);
    // Empty repeats at the end cost nothing and vanish; in the middle they stay.
    EXPECT_EQ(ODS::parseContent(sheet("<table:table-row><table:table-cell><text:p>a</text:p></table:table-cell><table:table-cell table:number-columns-repeated=\"16383\"/></table:table-row>"
                                      "<table:table-row table:number-rows-repeated=\"3\"><table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>"
                                      "<table:table-row><table:table-cell table:number-columns-repeated=\"2\"><text:p>b</text:p></table:table-cell></table:table-row>"
                                      "<table:table-row table:number-rows-repeated=\"1048571\"><table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>")),
              (Table{{"a", ""}, {"", ""}, {"", ""}, {"", ""}, {"b", "b"}}));
    // Negative, zero and malformed counts.
    EXPECT_EQ(ODS::parseContent(sheet("<table:table-row table:number-rows-repeated=\"0\"><table:table-cell><text:p>gone</text:p></table:table-cell></table:table-row>"
                                      "<table:table-row table:number-rows-repeated=\"x\"><table:table-cell table:number-columns-repeated=\"-4\"><text:p>gone</text:p></table:table-cell>"
                                      "<table:table-cell><text:p>k<text:s text:c=\"-1\"/>e<text:s text:c=\"99999999999999999999\"/></text:p></table:table-cell></table:table-row>")),
              (Table{{"k" + std::string("e") + std::string(10000, ' ')}}));
}

TEST(ODSTest, HostileAndBrokenFiles)
{
    // Twenty million repeated empty rows cost nothing at the end of a sheet; followed by
    // content they would have to be built, and are refused instead.
    std::string rows;
    for (int i = 0; i < 10001; ++i) rows += "<table:table-row table:number-rows-repeated=\"2000\"><table:table-cell/></table:table-row>";
    EXPECT_TRUE(ODS::parseContent(sheet(rows)).empty());
    rows += "<table:table-row><table:table-cell><text:p>x</text:p></table:table-cell></table:table-row>";
    EXPECT_THROW(ODS::parseContent(sheet(rows)), KError);
    // Malformed XML keeps the rows finished before the fault.
    EXPECT_EQ(ODS::parseContent(sheet("<table:table-row><table:table-cell><text:p>kept</text:p></table:table-cell></table:table-row><table:table-row><oops")),
              (Table{{"kept"}}));

    TempDir dir;
    writeFile(dir / "empty.ods", "");
    EXPECT_THROW(ODS::read(dir / "empty.ods"), KError);
    Package::write({{"other.xml", "<x/>"}}, "application/vnd.oasis.opendocument.spreadsheet", dir / "nocontent.ods");
    EXPECT_THROW(ODS::read(dir / "nocontent.ods"), KError);
}

TEST(ODSTest, SpreadsheetFromLibreOffice)
{
    // The displayed texts: the unformatted booleans of the sample show as 1 and 0.
    EXPECT_EQ(ODS::read(data / "libreoffice.ods"), (Table{{"Name", "Amount", "Flag", "Note"},
                                                        {"Widget", "12.5", "1", "two  spaces"},
                                                        {"Gadget", "-3", "0", "line one\nline two"},
                                                        {"Ünïcødé ✓", "25", "#DIV/0!", ""},
                                                        {"merged", "", "x", ""}}));
}
