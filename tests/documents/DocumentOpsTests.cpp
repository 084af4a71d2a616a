// First: the image library's GLib headers use the word "signals", which Qt's headers define.
#include "documents/PDFOps.h"

#include "PDFSamples.h"
#include "TestSupport.h"
#include "core/Shell.h"
#include "documents/DocumentOps.h"
#include "documents/Markdown.h"
#include "documents/TextClipping.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QGuiApplication>
#include <QLocale>
#include <QPalette>
#include <QTextDocument>

using namespace TestSupport;

namespace {
using Documents = FreshHomeWithFiles;

std::string plainText(const Path& file)
{
    return DocumentOps::read(file)->toPlainText().toStdString();
}
}

TEST_F(Documents, ConvertsBetweenTheTextFormats)
{
    const Path md = file("report.tar.md", "# Report\n\nSome **bold** and *italic* with [a link](https://x.org).\n\n- one\n- two\n\n1. first\n");
    const std::string expected = "# Report\n\nSome **bold** and *italic* with [a link](https://x.org).\n\n- one\n- two\n1. first\n";
    // Every writer read back by our own readers keeps the document.
    for (const std::string ext : {"docx", "rtf", "odt"}) {
        const Path out = DocumentOps::convert(md, ext);
        EXPECT_EQ(out.filename().string(), "report." + ext);
        EXPECT_EQ(Markdown::fromAttributed(*DocumentOps::read(out)), expected) << ext;
    }
    EXPECT_EQ(readFile(DocumentOps::convert(md, "html")), Markdown::page("report", Markdown::toHTML(readFile(md))));
    EXPECT_EQ(readFile(DocumentOps::convert(dir / "report.docx", "md")), expected);
    EXPECT_EQ(readFile(DocumentOps::convert(dir / "report.rtf", "txt")), "Report\nSome bold and italic with a link.\none\ntwo\nfirst");

    // Text in any encoding, and an empty document.
    EXPECT_EQ(plainText(DocumentOps::convert(file("latin.txt", "caf\xE9"), "docx")), "caf\xC3\xA9");
    EXPECT_EQ(plainText(DocumentOps::convert(file("wide.txt", std::string("\xFF\xFE" "h\0i\0", 6)), "rtf")), "hi");
    EXPECT_EQ(plainText(DocumentOps::convert(file("empty.txt", ""), "docx")), "");
    EXPECT_EQ(readFile(DocumentOps::convert(dir / "empty.txt", "md")), "\n");
}

TEST_F(Documents, DamagedSourcesFailWithoutLeavingAnOutput)
{
    writeFile(dir / "parts/word/other.xml", "<x/>");
    Shell::run("/usr/bin/zip", {"-q", "-r", (dir / "nobody.docx").string(), "word"}, dir / "parts");
    writeFile(dir / "broken/word/document.xml", "<w:document><w:body><w:p>");
    Shell::run("/usr/bin/zip", {"-q", "-r", (dir / "broken.docx").string(), "word"}, dir / "broken");
    EXPECT_EQ(errorOf([&] { DocumentOps::convert(file("notes.docx", "plain words"), "pdf"); }), "notes.docx is damaged or isn't a real .docx file.");
    EXPECT_EQ(errorOf([&] { DocumentOps::convert(dir / "nobody.docx", "md"); }), "nobody.docx is damaged or isn't a real .docx file.");
    EXPECT_EQ(errorOf([&] { DocumentOps::convert(dir / "broken.docx", "txt"); }), "broken.docx is damaged or isn't a real .docx file.");
    EXPECT_EQ(errorOf([&] { DocumentOps::convert(file("letter.rtf", "not rtf at all"), "docx"); }), "letter.rtf isn't a readable RTF document.");
    EXPECT_EQ(errorOf([&] { DocumentOps::write(*DocumentOps::html("x"), dir / "x.pages", "pages"); }), "Can't write .pages");
    EXPECT_EQ(listFolder(dir.path()), (Names{"broken", "broken.docx", "letter.rtf", "nobody.docx", "notes.docx", "parts"}));
}

TEST_F(Documents, ZipBombIsRefused)
{
    // 300 MB of zeros deflate to about 300 KB.
    writeFile(dir / "bomb/word/document.xml", "");
    std::filesystem::resize_file(dir / "bomb/word/document.xml", 300 << 20);
    Shell::run("/usr/bin/zip", {"-q", "-r", (dir / "bomb.docx").string(), "word"}, dir / "bomb");
    std::filesystem::remove_all(dir / "bomb");
    EXPECT_EQ(errorOf([&] { DocumentOps::convert(dir / "bomb.docx", "txt"); }), "bomb.docx unpacks to more than 256 MB, so it wasn't opened (it may be a zip bomb).");
    EXPECT_EQ(listFolder(dir.path()), Names{"bomb.docx"});
}

TEST_F(Documents, RendersPagedPDF)
{
    std::string longText;
    for (int i = 1; i <= 200; ++i) longText += "Line number " + std::to_string(i) + " of a long text.\n";
    // Light text on a dark desktop must not reach the page.
    const QPalette saved = QGuiApplication::palette();
    QPalette dark = saved;
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    QGuiApplication::setPalette(dark);
    const Path pdf = DocumentOps::convert(file("one.txt", "A single line."), "pdf");
    QGuiApplication::setPalette(saved);

    const bool letter = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    EXPECT_EQ(PDFSamples::pdfinfo(pdf).sizes, Names{letter ? "612 x 792" : "595 x 842"});
    EXPECT_EQ(PDFSamples::pdftotext(pdf).find("A single line."), 0u) << PDFSamples::pdftotext(pdf);
    EXPECT_LT(PDFOps::render(*std::unique_ptr<Poppler::Page>(PDFOps::open(pdf)->page(0)), 72).min(), 30) << "the text is drawn dark";

    const Path paged = DocumentOps::convert(file("many.txt", longText), "pdf");
    EXPECT_GT(PDFSamples::pdfinfo(paged).pages, 3);
    const std::string text = PDFSamples::pdftotext(paged);
    EXPECT_LT(text.find("Line number 1 of"), text.find("Line number 199 of"));
    EXPECT_NE(text.find("Line number 200 of"), std::string::npos);
}

TEST_F(Documents, WordCountsAndClippings)
{
    for (const auto& [name, text, summary] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"count.txt", "", "0 words · 0 characters"},
             {"count.txt", "Hello, world!  It's 3.5 o'clock.", "5 words · 27 characters"},
             {"count.txt", "na\xC3\xAFve e\xCC\x81t\xC3\xA9 \xF0\x9F\x98\x80", "2 words · 9 characters"},
             {"notes.md", "# Two words\n\n**bold** *it*\n", "4 words · 14 characters"}}) {
        EXPECT_EQ(DocumentOps::wordCount(file(name, text)), summary) << text;
    }

    // Property lists of type identifier → value, as the Finder writes clippings.
    const Path clippings = Path(VARNOLT_TEST_DATA) / "documents/clippings";
    EXPECT_EQ(TextClipping::read(clippings / "wide.textClipping")->toPlainText().toStdString(), "wide text");
    EXPECT_EQ(TextClipping::read(clippings / "bytes.textClipping")->toPlainText().toStdString(), "ok \xEF\xBF\xBD end");
    EXPECT_EQ(Markdown::fromAttributed(*DocumentOps::read(clippings / "rich.textClipping")), "**rich**\n");
    EXPECT_EQ(errorOf([&] { TextClipping::read(clippings / "none.textClipping"); }), "This clipping has no text");
    EXPECT_EQ(errorOf([&] { TextClipping::read(file("bad.textClipping", "garbage")); }), "Couldn't read this text clipping");
    // A binary list's string holding a NUL byte once aborted the whole program inside libplist.
    EXPECT_EQ(errorOf([&] { TextClipping::read(Path(VARNOLT_TEST_DATA) / "documents/nul-string.textClipping"); }), "This clipping has no text");
}
