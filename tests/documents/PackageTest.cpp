#include "TestSupport.h"

#include "core/Shell.h"
#include "documents/Package.h"

using namespace TestSupport;

namespace {
// unzip -Z1 lists entry names in archive order; -Zv tells how each is stored.
std::string listing(const Path& zip)
{
    return Shell::run("/usr/bin/unzip", {"-Z1", zip.string()});
}
}

TEST(PackageTest, MimetypeComesFirstStoredAndExact)
{
    TempDir dir;
    const Path book = dir / "book.epub";
    Package::write({{"OEBPS/text.xhtml", "<p>hi</p>"}, {"mimetype", "overwritten"}, {"META-INF/container.xml", "<c/>"}},
                   "application/epub+zip", book);
    const std::string names = listing(book);
    EXPECT_TRUE(names.starts_with("mimetype\n")) << names;
    EXPECT_EQ(Package::read(book, "mimetype"), "application/epub+zip");
    EXPECT_EQ(Package::read(book, "OEBPS/text.xhtml"), "<p>hi</p>");
    const std::string verbose = Shell::run("/usr/bin/unzip", {"-Zv", book.string(), "mimetype"});
    EXPECT_NE(verbose.find("compression method:                             none (stored)"), std::string::npos) << verbose;
    // The archive was built under a hidden name and renamed: nothing else is left beside it.
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"book.epub"});
}

TEST(PackageTest, ReplacesTheDestinationAndReadsBracketedNames)
{
    TempDir dir;
    const Path out = dir / "out.zip";
    Package::write({{"old.txt", "old"}}, std::nullopt, out);
    Package::write({{"[Content_Types].xml", "<Types/>"}, {"-dash.txt", "dash"}, {"a*b?.txt", "star"}}, std::nullopt, out);
    EXPECT_EQ(listing(out).find("old.txt"), std::string::npos);
    EXPECT_EQ(Package::read(out, "[Content_Types].xml"), "<Types/>");
    EXPECT_EQ(Package::read(out, "-dash.txt"), "dash");
    EXPECT_EQ(Package::read(out, "a*b?.txt"), "star");

    // A folder at the destination is replaced as well, and a name without extension stays
    // as given (zip would otherwise append ".zip").
    std::filesystem::create_directories(dir / "plain" / "inner");
    Package::write({{"x.txt", "x"}}, std::nullopt, dir / "plain");
    EXPECT_EQ(Package::read(dir / "plain", "x.txt"), "x");

    std::string streamed;
    Package::stream(out, "a*b?.txt", [&](std::string_view piece) { streamed += piece; });
    EXPECT_EQ(streamed, "star");

    Package::write({{"big.txt", std::string(100000, 'z')}}, "text/plain", dir / "fast.zip", Package::Compression::fast);
    EXPECT_EQ(Package::read(dir / "fast.zip", "big.txt"), std::string(100000, 'z'));
    EXPECT_TRUE(listing(dir / "fast.zip").starts_with("mimetype\n"));
}

TEST(PackageTest, FailuresAreClearAndLeaveNothing)
{
    TempDir dir;
    writeFile(dir / "not.zip", "plain text, not an archive");
    EXPECT_EQ(errorOf([&] { Package::read(dir / "not.zip", "content.xml"); }), "not.zip is damaged or isn't a real .zip file.");
    writeFile(dir / "empty.ods", "");
    EXPECT_THROW(Package::stream(dir / "empty.ods", "content.xml", [](std::string_view) {}), KError);
    std::filesystem::remove(dir / "empty.ods");
    Package::write({{"a.txt", "a"}}, std::nullopt, dir / "ok.zip");
    EXPECT_EQ(errorOf([&] { Package::read(dir / "ok.zip", "missing.xml"); }), "ok.zip has no part named missing.xml, so it is damaged or isn't a real .zip file.");
    // Streaming: a missing entry fails before the reader sees anything; a reader that fails
    // leaves the inflating thread neither blocked nor reported.
    std::string seen = "untouched";
    EXPECT_THROW(Package::stream(dir / "ok.zip", "missing.xml", [&](std::string_view piece) { seen = piece; }), KError);
    EXPECT_EQ(seen, "untouched");
    Package::write({{"big.txt", std::string(1 << 22, 'b')}}, std::nullopt, dir / "big.zip");
    std::size_t streamedBytes = 0;
    Package::stream(dir / "big.zip", "big.txt", [&](std::string_view piece) { streamedBytes += piece.size(); });
    EXPECT_EQ(streamedBytes, std::size_t(1) << 22);
    EXPECT_THROW(Package::stream(dir / "big.zip", "big.txt", [](std::string_view) { throw std::runtime_error("reader"); }), std::runtime_error);
    std::filesystem::remove(dir / "big.zip");

    // An entry path that cannot be staged (a file stands where its folder would go) fails
    // and leaves neither the destination nor a partial archive.
    EXPECT_ANY_THROW(Package::write({{"a", "file"}, {"a/b", "nested"}}, std::nullopt, dir / "bad.zip"));
    for (const char* name : {"../up.txt", "/etc/x", "a/../b", "a//b", "dir/", ""}) {
        EXPECT_ANY_THROW(Package::write({{name, "x"}}, std::nullopt, dir / "bad.zip")) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.zip"));
    EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"not.zip", "ok.zip"}));
}
