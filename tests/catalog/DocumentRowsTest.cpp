#include "TestSupport.h"
#include "documents/DocumentOps.h"

#include <QTextDocument>

using namespace TestSupport;

using DocumentRows = FreshHomeWithFiles;

TEST_F(DocumentRows, CommandLineConvertsDocuments)
{
    file("notes.md", "# Notes\n\nSome **bold** words.\n\n- one\n- two\n");
    file("data.csv", "name,count\napple,3\n");
    const auto run = [&](std::vector<std::string> args) {
        args.back() = (dir / args.back()).string();
        const CommandResult result = runVarnolt(args);
        EXPECT_EQ(result.status, 0) << result.out << result.err;
        return result.out;
    };
    EXPECT_EQ(run({"--run", "convert", "docx", "notes.md"}), (dir / "notes.docx").string() + "\n");
    std::filesystem::rename(dir / "notes.docx", dir / "report.docx");
    EXPECT_EQ(run({"--run", "convert", "md", "report.docx"}), (dir / "report.md").string() + "\n");
    EXPECT_EQ(readFile(dir / "report.md"), "# Notes\n\nSome **bold** words.\n\n- one\n- two\n");
    run({"--run", "convert", "rtf", "report.md"});
    std::filesystem::rename(dir / "report.rtf", dir / "letter.rtf");
    EXPECT_EQ(run({"--run", "convert", "pdf", "letter.rtf"}), (dir / "letter.pdf").string() + "\n");
    EXPECT_EQ(run({"--run", "convert", "epub", "report.docx"}), (dir / "report.epub").string() + "\n");
    EXPECT_EQ(run({"--run", "convert", "docx", "report.epub"}), (dir / "report 2.docx").string() + "\n");
    EXPECT_EQ(DocumentOps::read(dir / "report 2.docx")->toPlainText().toStdString(), "Notes\nSome bold words.\none\ntwo");
    run({"--run", "convert", "odt", "report.md"});
    EXPECT_EQ(run({"--run", "tools", "words", "report.odt"}), "6 words · 25 characters\n");
    EXPECT_EQ(run({"--run", "convert", "pdf", "data.csv"}), (dir / "data.pdf").string() + "\n");
}
