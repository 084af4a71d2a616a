#include "TestSupport.h"

#include "documents/SpreadsheetOps.h"

#include <nlohmann/json.hpp>

TEST(TableFormatsTest, HtmlByteForByte)
{
    const std::string head =
        "<!doctype html><meta charset=\"utf-8\"><style>table{border-collapse:collapse;font:14px -apple-system,'Helvetica Neue',Helvetica,sans-serif}"
        "td,th{border:1px solid #ccc;padding:4px 8px}th{background:#f3f3f3}</style><table>\n";
    EXPECT_EQ(SpreadsheetOps::tableHTML({{"a&b", "<i>"}, {"\"q\""}}, 14),
              head + "<tr><th>a&amp;b</th><th>&lt;i&gt;</th></tr>\n<tr><td>\"q\"</td></tr>\n</table>\n");
    std::string small = head;
    small.replace(small.find("font:14px"), 9, "font:10px");
    EXPECT_EQ(SpreadsheetOps::tableHTML({}, 10), small + "</table>\n");
}

TEST(TableFormatsTest, JsonKeepsEveryCell)
{
    EXPECT_EQ(SpreadsheetOps::tableJSON({}), "[]");
    EXPECT_EQ(SpreadsheetOps::tableJSON({{"only", "header"}}), "[]");
    EXPECT_EQ(SpreadsheetOps::tableJSON({{"b", "a"}, {"2", "1"}}), "[\n  {\n    \"a\": \"1\",\n    \"b\": \"2\"\n  }\n]");
    // Empty header cells get a column name, repeated ones a number, and cells beyond the
    // header a key of their own.
    const auto parsed = nlohmann::json::parse(SpreadsheetOps::tableJSON({{"", "name", "name", "name_2"}, {"1", "x", "y", "z"}, {"2"}, {"3", "a", "b", "c", "extra"}}));
    EXPECT_EQ(parsed, nlohmann::json::parse(R"([{"column1":"1","name":"x","name_2":"y","name_2_2":"z"},
                                                {"column1":"2","name":"","name_2":"","name_2_2":""},
                                                {"column1":"3","name":"a","name_2":"b","name_2_2":"c","column5":"extra"}])"));
}

TEST(TableFormatsTest, MarkdownTables)
{
    EXPECT_EQ(SpreadsheetOps::tableMarkdown({}), "|  |\n|\n");
    EXPECT_EQ(SpreadsheetOps::tableMarkdown({{"h1", "h|2"}, {"only"}, {"a", "b", "c"}}),
              "| h1 | h\\|2 |  |\n| --- | --- | --- |\n| only |  |  |\n| a | b | c |\n");
    // A line break inside a cell would end the table row.
    EXPECT_EQ(SpreadsheetOps::tableMarkdown({{"h"}, {"one\ntwo\r\nthree\rfour"}}), "| h |\n| --- |\n| one<br>two<br>three<br>four |\n");
}
