#include "TestSupport.h"

#include "documents/SpreadsheetOps.h"

#include <nlohmann/json.hpp>

TEST(TableFormatsTest, HtmlJsonAndMarkdownByteForByte)
{
    const std::string head =
        "<!doctype html><meta charset=\"utf-8\"><style>table{border-collapse:collapse;font:14px -apple-system,'Helvetica Neue',Helvetica,sans-serif}"
        "td,th{border:1px solid #ccc;padding:4px 8px}th{background:#f3f3f3}</style><table>\n";
    EXPECT_EQ(SpreadsheetOps::tableHTML({{"a&b", "<i>"}, {"\"q\""}}, 14),
              head + "<tr><th>a&amp;b</th><th>&lt;i&gt;</th></tr>\n<tr><td>\"q\"</td></tr>\n</table>\n");
    std::string small = head;
    small.replace(small.find("font:14px"), 9, "font:10px");
    EXPECT_EQ(SpreadsheetOps::tableHTML({}, 10), small + "</table>\n");

    // JSON objects are keyed by the header; empty header cells get a column name.
    EXPECT_EQ(SpreadsheetOps::tableJSON({}), "[]");
    EXPECT_EQ(SpreadsheetOps::tableJSON({{"only", "header"}}), "[]");
    const auto parsed = nlohmann::json::parse(SpreadsheetOps::tableJSON({{"", "name", "name"}, {"1", "x", "y"}, {"2"}, {"3", "a", "b", "extra"}}));
    EXPECT_EQ(parsed, nlohmann::json::parse(R"([{"column1":"1","name":"y"},{"column1":"2","name":""},{"column1":"3","name":"b"}])"));
    EXPECT_EQ(SpreadsheetOps::tableJSON({{"b", "a"}, {"2", "1"}}), "[\n  {\n    \"a\": \"1\",\n    \"b\": \"2\"\n  }\n]");

    EXPECT_EQ(SpreadsheetOps::tableMarkdown({}), "|  |\n|\n");
    EXPECT_EQ(SpreadsheetOps::tableMarkdown({{"h1", "h|2"}, {"only"}, {"a", "b", "c"}}),
              "| h1 | h\\|2 |  |\n| --- | --- | --- |\n| only |  |  |\n| a | b | c |\n");
}
