#include "TestSupport.h"
#include "core/Tools.h"
#include "documents/DocumentOps.h"
#include "documents/Markdown.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace TestSupport;

// What independent readers and writers make of our files, and we of theirs: LibreOffice and
// python-docx, each skipped where it is not installed.
namespace {
using Interop = FreshHomeWithFiles;

const std::string sample = "<html><body><h1>Title</h1><p>Plain <b>bold</b> and <i>italic</i> with <a href=\"https://x.org/\">a link</a>.</p>"
                           "<ul><li>apple</li><li>pear</li></ul><ol><li>first</li><li>second</li></ol><h2>Table</h2>"
                           "<table border=\"1\"><tr><td>a</td><td>b</td></tr><tr><td>c</td><td>d</td></tr></table></body></html>";
const char* sampleMarkdown = "# Title\n\nPlain **bold** and *italic* with [a link](https://x.org/).\n\n- apple\n- pear\n1. first\n1. second\n\n## Table\n\n| a | b |\n| --- | --- |\n| c | d |\n";

bool hasPythonDocx()
{
    return runProgram("/usr/bin/python3", {"-c", "import docx"}).status == 0;
}

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
    if (!hasPythonDocx()) GTEST_SKIP() << "python-docx is not installed";
    const Path ours = DocumentOps::convert(file("sample.html", sample), "docx");
    const char* inspect = R"(import sys, docx
d = docx.Document(sys.argv[1])
for p in d.paragraphs:
    listed = p._p.pPr is not None and p._p.pPr.numPr is not None
    print(p.style.name, '|', p.text, '|', ','.join(r.text for r in p.runs if r.bold), '|', 'list' if listed else '')
for t in d.tables:
    print([[c.text for c in row.cells] for row in t.rows])
print([r.target_ref for r in d.part.rels.values() if r.reltype.endswith('/hyperlink')])
)";
    const CommandResult found = runProgram("/usr/bin/python3", {"-c", inspect, ours.string()});
    ASSERT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out,
              "Heading 1 | Title |  | \n"
              // python-docx leaves the text of hyperlinks out of a paragraph's text.
              "Normal | Plain bold and italic with . | bold | \n"
              "List Paragraph | apple |  | list\n"
              "List Paragraph | pear |  | list\n"
              "List Paragraph | first |  | list\n"
              "List Paragraph | second |  | list\n"
              "Heading 2 | Table |  | \n"
              "Normal |  |  | \n"
              "[['a', 'b'], ['c', 'd']]\n"
              "['https://x.org/']\n");

    const char* make = R"(import sys, docx
d = docx.Document()
d.add_heading('Title', level=1)
p = d.add_paragraph('Plain ')
p.add_run('bold').bold = True
p.add_run(' and ')
p.add_run('italic').italic = True
p.add_run(' with a picture-free line.')
d.add_paragraph('apple', style='List Bullet')
d.add_paragraph('pear', style='List Bullet')
d.add_paragraph('first', style='List Number')
d.add_paragraph('second', style='List Number')
d.add_heading('Table', level=2)
t = d.add_table(rows=2, cols=2)
for r, row in enumerate([['a', 'b'], ['c', 'd']]):
    for c, text in enumerate(row):
        t.cell(r, c).text = text
d.save(sys.argv[1])
)";
    const CommandResult made = runProgram("/usr/bin/python3", {"-c", make, (dir / "theirs.docx").string()});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(readFile(DocumentOps::convert(dir / "theirs.docx", "md")),
              "# Title\n\nPlain **bold** and *italic* with a picture-free line.\n\n- apple\n- pear\n1. first\n1. second\n\n## Table\n\n| a | b |\n| --- | --- |\n| c | d |\n");
}
