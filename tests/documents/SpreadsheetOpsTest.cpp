#include "TestSupport.h"

#include "core/Errors.h"
#include "core/Shell.h"
#include "core/Tools.h"
#include "catalog/Catalog.h"
#include "documents/ODS.h"
#include "documents/SpreadsheetOps.h"
#include "documents/XLSX.h"

using namespace TestSupport;

class SpreadsheetOpsTest : public FreshHome {
protected:
    TempDir dir;
};

TEST_F(SpreadsheetOpsTest, ReadDispatchesByExtensionAndRefusesTheRest)
{
    writeFile(dir / "t.CSV", "a,, \nb,c,\n\n , \n");
    EXPECT_EQ(SpreadsheetOps::read(dir / "t.CSV"), (Table{{"a", ""}, {"b", "c"}}));
    writeFile(dir / "t.tsv", "a\tb,c\n");
    EXPECT_EQ(SpreadsheetOps::read(dir / "t.tsv"), (Table{{"a", "b,c"}}));
    writeFile(dir / "latin.csv", "caf\xE9,na\xEFve\n");
    EXPECT_EQ(SpreadsheetOps::read(dir / "latin.csv"), (Table{{"caf\u00e9", "na\u00efve"}}));
    writeFile(dir / "empty.csv", "");
    EXPECT_TRUE(SpreadsheetOps::read(dir / "empty.csv").empty());

    writeFile(dir / "t.txt", "a,b");
    EXPECT_EQ(errorOf([&] { SpreadsheetOps::read(dir / "t.txt"); }), "Unsupported spreadsheet");
    EXPECT_ANY_THROW(SpreadsheetOps::read(dir / "missing.csv"));
    EXPECT_EQ(errorOf([&] { SpreadsheetOps::write({{"a"}}, dir / "t.pdf", "pdf"); }), "Can't write .pdf");
    // A failed conversion leaves nothing behind.
    writeFile(dir / "broken.xlsx", "not a workbook");
    EXPECT_THROW(SpreadsheetOps::convert(dir / "broken.xlsx", "csv"), KError);
    EXPECT_THROW(SpreadsheetOps::convert(dir / "empty.csv", "pdf"), KError);
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

TEST_F(SpreadsheetOpsTest, DedupeKeepsFirstOccurrences)
{
    writeFile(dir / "list.csv", "h,v\na,1\nA,1\na,1\nh,v\na,1,\na\n");
    const auto result = SpreadsheetOps::dedupe(dir / "list.csv");
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

TEST_F(SpreadsheetOpsTest, CatalogRowsAndDedupeMessage)
{
    const auto titles = [](const Paths& files) {
        Names out;
        for (const WheelOption& option : Catalog::convertOptions(FileKind::spreadsheet, files)) out.push_back(option.title);
        return out;
    };
    EXPECT_EQ(titles({"/a/data.csv"}), (Names{"XLSX", "TSV", "ODS", "JSON", "HTML", "MD"}));
    EXPECT_EQ(titles({"/a/x.xlsx", "/a/y.ods"}), (Names{"CSV", "TSV", "JSON", "HTML", "MD"}));
    EXPECT_TRUE(titles({"/a/budget.numbers"}).empty());
    EXPECT_TRUE(titles({"/a/x.csv", "/a/old.XLS"}).empty());

    const WheelOptions tools = Catalog::toolOptions(FileKind::spreadsheet, {"/a/data.csv"});
    ASSERT_FALSE(tools.empty());
    writeFile(dir / "two.csv", "b\nb\nb\n");
    writeFile(dir / "none.csv", "c\n");
    const OptionResult all = tools.front().run({dir / "two.csv", dir / "none.csv"});
    EXPECT_EQ(all.message, "Removed 2 duplicate rows");
    EXPECT_EQ(all.outputs, (Paths{dir / "two (deduplicated).csv", dir / "none (deduplicated).csv"}));
}

TEST_F(SpreadsheetOpsTest, CommandLineEndToEnd)
{
    writeFile(dir / "data.csv", "name,qty\napple,3\napple,3\n");
    CommandResult r = runVarnolt({"--run", "convert", "xlsx", "data.csv"}, {}, dir.path());
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(XLSX::read(dir / "data.xlsx"), (Table{{"name", "qty"}, {"apple", "3"}, {"apple", "3"}}));
    r = runVarnolt({"--run", "tools", "dedupe", "data.csv"}, {}, dir.path());
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Removed 1 duplicate row"), std::string::npos) << r.out;
    EXPECT_EQ(readFile(dir / "data (deduplicated).csv"), "name,qty\napple,3\n");
}

// Files Varnolt writes must open in LibreOffice with the same cell texts.
TEST_F(SpreadsheetOpsTest, LibreOfficeReadsWhatWeWrite)
{
    const auto soffice = Tools::soffice();
    if (!soffice) GTEST_SKIP() << "LibreOffice is not installed";
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
