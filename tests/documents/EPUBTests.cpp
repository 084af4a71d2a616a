#include "documents/EPUB.h"
#include "PackageFixture.h"
#include "XmlCheck.h"

#include <QRegularExpression>
#include <QStandardPaths>

using namespace TestSupport;

namespace {
const std::string frameStart = "<html><head><meta charset=\"utf-8\"></head><body>";
const std::string frameEnd = "</body></html>";

std::string container(const std::string& opf)
{
    return "<?xml version=\"1.0\"?><container><rootfiles><rootfile full-path=\"" + opf + "\" media-type=\"application/oebps-package+xml\"/></rootfiles></container>";
}

std::string readError(const Path& book)
{
    return errorOf([&] { EPUB::readHTML(book); });
}
}

TEST(EPUB, WrittenBookHasItsOwnIdentifierEscapedTitleAndWellFormedParts)
{
    TempDir dir;
    EPUB::write("Tom & <Jerry>\x01", "<p>a<br>b&nbsp;&amp;\x0c</p>", dir / "a.epub");
    EPUB::write("Tom & <Jerry>", "<p>x</p>", dir / "b.epub");
    EXPECT_EQ(EPUB::readHTML(dir / "a.epub"), frameStart + "\n<p>a<br/>b&#160;&amp;</p>\n" + frameEnd);
    EXPECT_EQ(Package::read(dir / "a.epub", "mimetype"), "application/epub+zip");

    const std::string a = Package::read(dir / "a.epub", "OEBPS/content.opf");
    const auto identifier = [](const std::string& opf) {
        const auto start = opf.find("urn:uuid:");
        return opf.substr(start, opf.find('<', start) - start);
    };
    EXPECT_EQ(identifier(a).size(), std::string("urn:uuid:").size() + 36);
    EXPECT_NE(identifier(a), identifier(Package::read(dir / "b.epub", "OEBPS/content.opf")));
    for (const char* entry : {"OEBPS/content.opf", "OEBPS/nav.xhtml", "OEBPS/text.xhtml"}) {
        const std::string text = Package::read(dir / "a.epub", entry);
        EXPECT_NE(text.find("Tom &amp; &lt;Jerry&gt;"), std::string::npos) << entry;
        EXPECT_TRUE(wellFormedXml(text)) << entry;
    }

    // A body that is still not XML after mending would make a book readers refuse.
    EXPECT_EQ(errorOf([&] { EPUB::write("Bad", "<p>a<b>c</p>", dir / "bad.epub"); }),
              "Couldn't write bad.epub: its text isn't well-formed XHTML");
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.epub"));
}

// Unknown, missing and non-linear items are skipped; hrefs are decoded and normalised.
TEST(EPUB, ReadingFollowsTheSpine)
{
    TempDir dir;
    const Path book = PackageFixture::zipped("book-spine", dir.path(), "book.epub", "application/epub+zip");
    EXPECT_EQ(EPUB::readHTML(book), frameStart + "<p>One</p>\n<p>Two</p><div>x</div>\nno body tags\n<p>One</p>" + frameEnd);
}

TEST(EPUB, BrokenBooksGiveAMessageAndNeverReadOutside)
{
    TempDir dir;
    writeFile(dir / "secret.txt", "SECRET");

    writeFile(dir / "plain.epub", "just text");
    EXPECT_EQ(readError(dir / "plain.epub"), "Not a valid EPUB");
    EXPECT_EQ(readError(dir / "missing.epub"), "Not a valid EPUB");

    const std::vector<std::pair<std::string, Package::Entries>> invalid = {
        {"nocontainer.epub", {{"OEBPS/content.opf", "<package/>"}}},
        {"nopath.epub", {{"META-INF/container.xml", "<container/>"}}},
        {"nopackage.epub", {{"META-INF/container.xml", container("OEBPS/content.opf")}}}};
    for (const auto& [name, entries] : invalid) {
        Package::write(entries, "application/epub+zip", dir / name);
        EXPECT_EQ(readError(dir / name), "Not a valid EPUB") << name;
    }

    // Items reached by climbing out of the package, or by an absolute path.
    EXPECT_EQ(readError(PackageFixture::zipped("book-escaping", dir.path(), "escaping.epub", "application/epub+zip")), "This EPUB has no readable text");

    // Unclosed tags by the hundred thousand: each would make a tag pattern rescan the rest.
    std::string unclosed;
    for (int i = 0; i < 100000; ++i) unclosed += "<item<body";
    const Path hostile = dir / "hostile.epub";
    Package::write({{"META-INF/container.xml", container("content.opf")},
                    {"content.opf", "<item id=\"a\" href=\"a.xhtml\"/><itemref idref=\"a\"/>" + unclosed},
                    {"a.xhtml", unclosed}},
                   "application/epub+zip", hostile);
    EXPECT_EQ(EPUB::readHTML(hostile), frameStart + unclosed + frameEnd);
}

TEST(EPUB, WrittenBookPassesEpubcheck)
{
    const Path jar = "/usr/share/java/epubcheck.jar";
    const QString java = QStandardPaths::findExecutable("java");
    if (!std::filesystem::exists(jar) || java.isEmpty()) GTEST_SKIP() << "epubcheck is not installed";
    TempDir dir;
    const Path book = dir / "checked.epub";
    EPUB::write("Tom & Jerry <3>", "<h1>Title</h1>\n<p>a<br>b &amp; c&nbsp;d</p>\n<hr/>\n<ul>\n<li><em>x</em></li>\n</ul>\n<pre><code>&lt;tag&gt;</code></pre>\n"
                                   "<blockquote><p><a href=\"https://example.org/\">link</a></p></blockquote>",
                book);
    const CommandResult check = runProgram(java.toStdString(), {"-jar", jar.string(), book.string()});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_NE(check.out.find("0 fatals / 0 errors"), std::string::npos) << check.out << check.err;
}

// The chapter's void elements are closed exactly as replacing "<name((?:\s[^>]*?)?)\s*/?>"
// (any case) by "<name$1/>" would, and in one pass even where that pattern would not be.
TEST(EPUB, VoidElementsCloseLikeTheirPattern)
{
    const std::string tricky = "<br><BR/><Br \t/><br  / ><br/ ><br x=\"1\"  /><br\nclass=a><brx><br-><hr >< br><img  src=a /  /><img/>"
                               "<meta charset=\"utf-8\"><link rel=x><input type=text ><inputs><br<hr> a > b <br";
    QString expected = QString::fromStdString(tricky);
    for (const char* name : {"br", "hr", "img", "meta", "link", "input"}) {
        const QRegularExpression pattern(QString("<%1((?:\\s[^>]*?)?)\\s*/?>").arg(name), QRegularExpression::CaseInsensitiveOption);
        expected.replace(pattern, QString("<%1\\1/>").arg(name));
    }
    const std::string spaces(200000, ' ');
    std::string unclosed;
    for (int i = 0; i < 20000; ++i) unclosed += "<brx";
    EXPECT_EQ(EPUB::xhtmlSafe(tricky + "<img alt=\"" + spaces + "\"><br" + spaces + "x" + unclosed + ">"),
              expected.toStdString() + "<img alt=\"" + spaces + "\"/><br" + spaces + "x" + unclosed + "/>");
}
