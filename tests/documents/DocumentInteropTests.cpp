#include "TestSupport.h"
#include "core/Tools.h"
#include "documents/DocumentOps.h"
#include "documents/Markdown.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextDocument>

using namespace TestSupport;

// What independent readers and writers make of our files, and we of theirs: LibreOffice and
// python-docx, each skipped where it is not installed.
namespace {
using Interop = FreshHomeWithFiles;

const Path data = Path(VARNOLT_TEST_DATA) / "documents";
// Headings, emphasis, lists, a link and a table, as HTML and as the Markdown we make of it.
const std::string sample = readFile(data / "interop-sample.html"), sampleMarkdown = readFile(data / "interop-sample.md");

// Runs soffice on the files with a profile of the test's own; the outputs land in `out`.
void soffice(const std::vector<Path>& files, const std::string& filter, const Path& out, const Path& profile, const std::vector<std::string>& extra = {})
{
    std::vector<std::string> args = {"-k", "10", "300", Tools::soffice()->string(), "-env:UserInstallation=file://" + profile.string(), "--headless", "--norestore"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"--convert-to", filter, "--outdir", out.string()});
    for (const Path& f : files) args.push_back(f.string());
    const CommandResult result = runProgram("/usr/bin/timeout", args);
    ASSERT_EQ(result.status, 0) << result.out << result.err;
}

// The words in order, without the numbers LibreOffice writes before numbered list items.
QStringList words(const std::string& text)
{
    static const QRegularExpression separators("[^\\w]+"), number("^\\d+$");
    QStringList out = QString::fromStdString(text).split(separators, Qt::SkipEmptyParts);
    out.removeIf([](const QString& word) { return number.match(word).hasMatch(); });
    return out;
}
}

TEST_F(Interop, LibreOfficeReadsOurFilesAndWeReadItsWordFiles)
{
    if (!Tools::soffice()) GTEST_SKIP() << "LibreOffice is not installed";
    const Path html = file("sample.html", sample);
    std::vector<Path> ours;
    for (const std::string ext : {"docx", "rtf", "odt"}) ours.push_back(DocumentOps::convert(html, ext));
    const QStringList expected = words(DocumentOps::read(html)->toPlainText().toStdString());
    soffice(ours, "txt:Text (encoded):UTF8", dir / "text", dir / "profile");
    for (const Path& f : ours) {
        Path text = dir / "text" / f.filename();
        text.replace_extension("txt");
        EXPECT_EQ(words(readFile(text)), expected) << f.filename();
    }

    // A Word file of LibreOffice's own: headings (which it numbers through a list), emphasis,
    // lists, a link and a table.
    writeFile(dir / "theirs.html", sample);
    soffice({dir / "theirs.html"}, "docx:MS Word 2007 XML", dir / "word", dir / "profile", {"--infilter=HTML (StarWriter)"});
    EXPECT_EQ(readFile(DocumentOps::convert(dir / "word/theirs.docx", "md")), sampleMarkdown);

    // Word 97 there and back.
    const Path doc = DocumentOps::convert(html, "doc");
    EXPECT_EQ(words(DocumentOps::read(doc)->toPlainText().toStdString()), expected);
}

TEST_F(Interop, PythonDocxFindsWhatWeWroteAndWeReadWhatItWrites)
{
    if (runProgram("/usr/bin/python3", {"-c", "import docx"}).status != 0) GTEST_SKIP() << "python-docx is not installed";
    const Path ours = DocumentOps::convert(file("sample.html", sample), "docx");
    const CommandResult found = runProgram("/usr/bin/python3", {(data / "docx-read-back.py").string(), ours.string()});
    ASSERT_EQ(found.status, 0) << found.err;
    // python-docx leaves the text of hyperlinks out of a paragraph's text.
    EXPECT_EQ(found.out, readFile(data / "docx-read-back.txt"));

    const CommandResult made = runProgram("/usr/bin/python3", {(data / "docx-make.py").string(), (dir / "theirs.docx").string()});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(readFile(DocumentOps::convert(dir / "theirs.docx", "md")),
              QString::fromStdString(sampleMarkdown).replace("[a link](https://x.org/).", "a picture-free line.").toStdString());
}
