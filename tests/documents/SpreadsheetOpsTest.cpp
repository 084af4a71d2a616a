#include "PackageFixture.h"

#include "core/Shell.h"
#include "core/Tools.h"
#include "documents/ODS.h"
#include "documents/Package.h"
#include "documents/SpreadsheetOps.h"
#include "documents/XLSX.h"

using namespace TestSupport;

using SpreadsheetOpsTest = FreshHomeWithFiles;

TEST_F(SpreadsheetOpsTest, ReadDispatchesByExtensionAndRefusesTheRest)
{
    for (const auto& [name, text, table] : std::vector<std::tuple<std::string, std::string, Table>>{
             {"t.CSV", "a,, \nb,c,\n\n , \n", {{"a", ""}, {"b", "c"}}}, {"t.tsv", "a\tb,c\n", {{"a", "b,c"}}},
             {"latin.csv", "caf\xE9,na\xEFve\n", {{"caf\u00e9", "na\u00efve"}}}, {"empty.csv", "", {}}}) {
        EXPECT_EQ(SpreadsheetOps::read(file(name, text)), table) << name;
    }

    // A text larger than a table may hold is refused before it is read.
    std::filesystem::resize_file(file("huge.csv", ""), 600'000'000);
    EXPECT_EQ(errorOf([&] { SpreadsheetOps::read(dir / "huge.csv"); }), "This spreadsheet is too large to open: its cells hold more than 500 MB of text.");
    std::filesystem::remove(dir / "huge.csv");

    EXPECT_EQ(errorOf([&] { SpreadsheetOps::read(file("t.txt", "a,b")); }), "Unsupported spreadsheet");
    EXPECT_ANY_THROW(SpreadsheetOps::read(dir / "missing.csv"));
    EXPECT_EQ(errorOf([&] { SpreadsheetOps::write({{"a"}}, dir / "t.pages", "pages"); }), "Can't write .pages");
    // A failed conversion leaves nothing behind.
    EXPECT_THROW(SpreadsheetOps::convert(file("broken.xlsx", "not a workbook"), "csv"), KError);
    EXPECT_THROW(SpreadsheetOps::convert(dir / "empty.csv", "pages"), KError);
    EXPECT_EQ(listFolder(dir.path()), (Names{"broken.xlsx", "empty.csv", "latin.csv", "t.CSV", "t.tsv", "t.txt"}));
}

TEST_F(SpreadsheetOpsTest, ConvertEveryTargetAndBack)
{
    const Table table = {{"name", "qty"}, {"apple", "3"}, {"pear, green", "-0.5"}, {"quote \"q\"", ""}};
    writeFile(dir / "data.csv", SpreadsheetOps::delimited(table, ","));
    for (const std::string ext : {"xlsx", "tsv", "ods"}) EXPECT_EQ(SpreadsheetOps::read(SpreadsheetOps::convert(dir / "data.csv", ext)), table) << ext;
    EXPECT_EQ(SpreadsheetOps::convert(dir / "data.xlsx", "csv"), dir / "data 2.csv");
    EXPECT_EQ(readFile(dir / "data 2.csv"), readFile(dir / "data.csv"));
    EXPECT_EQ(readFile(SpreadsheetOps::convert(dir / "data.csv", "md")), SpreadsheetOps::tableMarkdown(table));
    EXPECT_EQ(readFile(SpreadsheetOps::convert(dir / "data.csv", "html")), SpreadsheetOps::tableHTML(table, 14));
    EXPECT_EQ(readFile(SpreadsheetOps::convert(dir / "data.csv", "json")), SpreadsheetOps::tableJSON(table));
}

// A sheet refused in its first rows while unzip still has megabytes to deliver: the run ends
// at once with the reason and leaves neither its reserved output nor an error file.
TEST_F(SpreadsheetOpsTest, RefusedSheetsEndTheirRunAtOnce)
{
    std::string filler;
    for (int r = 2; r < 60000; ++r) filler += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" + std::to_string(r) + "</v></c></row>";
    Package::write({{"xl/worksheets/sheet1.xml", PackageFixture::xlsxSheet(R"(<row r="1"><c r="XFD1048576"><v>1</v></c></row>)" + filler)}}, std::nullopt, dir / "far.xlsx");
    std::string rows;
    for (int i = 0; i < 10001; ++i) rows += R"(<table:table-row table:number-rows-repeated="2000"><table:table-cell/></table:table-row>)";
    for (int i = 0; i < 30000; ++i) rows += R"(<table:table-row><table:table-cell><text:p>filler</text:p></table:table-cell></table:table-row>)";
    Package::write({{"content.xml", PackageFixture::odsContent(rows)}}, "application/vnd.oasis.opendocument.spreadsheet", dir / "long.ods");
    std::filesystem::create_directory(dir / "tmp");
    for (const std::string name : {"far.xlsx", "long.ods"}) {
        const CommandResult r = runProgram("/usr/bin/timeout", {"60", VARNOLT_EXE, "--run", "convert", "csv", name}, {{"TMPDIR", (dir / "tmp").string()}}, dir.path());
        EXPECT_NE(r.out.find("This spreadsheet is too large to open: it spans more than 20 million cells."), std::string::npos) << name << r.status << r.out << r.err;
    }
    EXPECT_EQ(listFolder(dir.path()), (Names{"far.xlsx", "long.ods", "tmp"}));
    for (const std::string& left : listFolder(dir / "tmp")) EXPECT_FALSE(left.ends_with(".err")) << left;
}

TEST_F(SpreadsheetOpsTest, DedupeKeepsFirstOccurrences)
{
    const auto result = SpreadsheetOps::dedupe(file("list.csv", "h,v\na,1\nA,1\na,1\nh,v\na,1,\na\n"));
    EXPECT_EQ(result.output, dir / "list (deduplicated).csv");
    EXPECT_EQ(result.removed, 3u);
    // The trailing empty cell is trimmed away by the read, making that row a repeat too.
    EXPECT_EQ(readFile(result.output), "h,v\na,1\nA,1\na\n");

    XLSX::write({{"x"}, {"x"}, {"y"}}, dir / "book.xlsx");
    const auto book = SpreadsheetOps::dedupe(dir / "book.xlsx");
    EXPECT_EQ(book.output, dir / "book (deduplicated).xlsx");
    EXPECT_EQ(book.removed, 1u);
    EXPECT_EQ(XLSX::read(book.output), (Table{{"x"}, {"y"}}));
}

// Files Varnolt writes must open in LibreOffice with the same cell texts.
TEST_F(SpreadsheetOpsTest, LibreOfficeReadsWhatWeWrite)
{
    const auto soffice = Tools::soffice();
    if (!soffice || !std::filesystem::exists(std::filesystem::canonical(*soffice).parent_path() / "libsclo.so")) GTEST_SKIP() << "LibreOffice Calc is not installed";
    const Table table = {{"name", "qty", "note"}, {"Ünïcødé ✓", "12.5", "two  spaces"}, {"a & <b>", "-3", "x, \"y\""}, {"", "", "last"}};
    XLSX::write(table, dir / "ours.xlsx");
    ODS::write(table, dir / "ours.ods");
    for (const std::string name : {"ours.xlsx", "ours.ods"}) {
        const Path out = dir / "out";
        Shell::run(*soffice, {"-env:UserInstallation=file://" + (dir / "profile").string(), "--headless", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir", out.string(),
                              (dir / name).string()});
        const Path csv = out / (Path(name).stem().string() + ".csv");
        EXPECT_EQ(SpreadsheetOps::parseDelimited(readFile(csv), ','), table) << name;
        std::filesystem::remove(csv);
    }
}
