#include "ArchiveTestSupport.h"

#include "core/catalog/Catalog.h"

using namespace TestSupport;
using namespace ArchiveTestSupport;
using Names = std::vector<std::string>;

namespace {
class ArchiveOptionsTest : public FreshHome {
protected:
    TempDir dir;
};

Names titles(const WheelOptions& options)
{
    Names result;
    for (const WheelOption& option : options) result.push_back(option.title + (option.symbol ? " [" + *option.symbol + "]" : ""));
    return result;
}

Names titles(const Paths& files, WheelMode mode)
{
    return titles(Catalog::options(files, mode));
}
}

TEST_F(ArchiveOptionsTest, ArchivesFoldersAndMixedSelections)
{
    writeFile(dir / "backup.tar.gz", "");
    writeFile(dir / "log.gz", "");
    writeFile(dir / "data.zip", "");
    writeFile(dir / "Inbox/a.txt", "a");
    writeFile(dir / "notes.md", "# n");
    writeFile(dir / "clip.srt", "");

    EXPECT_EQ(titles({dir / "backup.tar.gz"}, WheelMode::convert), (Names{"Extract [arrow.up.bin]", "ZIP", "TAR.GZ"}));
    EXPECT_EQ(titles({dir / "log.gz"}, WheelMode::convert), (Names{"Extract [arrow.up.bin]"}));
    EXPECT_EQ(titles({dir / "data.zip"}, WheelMode::convert), (Names{"Extract [arrow.up.bin]", "TAR.GZ"}));
    // One plain .gz in the selection is enough to offer only Extract.
    EXPECT_EQ(titles({dir / "backup.tar.gz", dir / "log.gz"}, WheelMode::convert), (Names{"Extract [arrow.up.bin]"}));
    EXPECT_EQ(titles({dir / "data.zip"}, WheelMode::tools), (Names{"Extract [arrow.up.bin]"}));

    const Names packaging = {"ZIP [doc.zipper]", "TAR.GZ [archivebox]"};
    EXPECT_EQ(titles({dir / "Inbox"}, WheelMode::convert), packaging);
    EXPECT_EQ(titles({dir / "Inbox", dir / "notes.md"}, WheelMode::convert), packaging);
    for (const Paths& selection : {Paths{dir / "Inbox"}, Paths{dir / "notes.md", dir / "data.zip"}, Paths{dir / "clip.srt"}}) {
        EXPECT_EQ(titles(selection, WheelMode::tools), Names{"Zip [doc.zipper]"});
    }
}

TEST_F(ArchiveOptionsTest, PackagingRunsOverTheWholeSelection)
{
    writeFile(dir / "a.txt", "a");
    writeFile(dir / "b.txt", "b");
    const WheelOptions tools = Catalog::options({dir / "a.txt", dir / "b.txt"}, WheelMode::tools);
    const OptionResult result = tools.back().run({dir / "a.txt", dir / "b.txt"});
    EXPECT_EQ(result.outputs, Paths{dir / "Archive.zip"});
    EXPECT_FALSE(result.message);
    EXPECT_EQ(Catalog::compressOptions({}).back().run({dir / "a.txt"}).outputs, Paths{dir / "a.tar.gz"});
}

TEST_F(ArchiveOptionsTest, CommandLineZipsExtractsAndLists)
{
    writeFile(dir / "a.txt", "a");
    writeFile(dir / "b.txt", "b");
    writeFile(dir / "src/photos/1.jpg", "1");
    sh("/usr/bin/tar", {"-czf", (dir / "photos.tar.gz").string(), "photos"}, dir / "src");

    auto zipped = runVarnolt({"--run", "tools", "zip", "a.txt", "b.txt"}, {}, dir.path());
    EXPECT_EQ(zipped.status, 0) << zipped.err;
    EXPECT_EQ(zipped.out, (dir / "Archive.zip").string() + "\n");

    auto extracted = runVarnolt({"--run", "convert", "extract", "photos.tar.gz"}, {}, dir.path());
    EXPECT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(extracted.out, (dir / "photos").string() + "\n");
    EXPECT_EQ(readFile(dir / "photos/1.jpg"), "1");

    writeFile(dir / "broken.tar.gz", "not gzip");
    auto broken = runVarnolt({"--run", "convert", "extract", "broken.tar.gz"}, {}, dir.path());
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.out.starts_with("ERROR: tar: ")) << broken.out;
    EXPECT_FALSE(hasStaging(dir.path()));

    // The actions line belongs to the actions page; only the first two lines are ours.
    const auto pages = [&](const std::vector<std::string>& files) {
        std::vector<std::string> args = {"--list"};
        args.insert(args.end(), files.begin(), files.end());
        const std::string out = runVarnolt(args, {}, dir.path()).out;
        return out.substr(0, out.find("\n⌃"));
    };
    EXPECT_EQ(pages({"photos.tar.gz"}), "⇧ Convert: Extract, ZIP, TAR.GZ\n⌘ Tools: Extract");
    EXPECT_EQ(pages({"photos"}), "⇧ Convert: ZIP, TAR.GZ\n⌘ Tools: Zip");
    EXPECT_EQ(pages({"photos", "a.txt"}), "⇧ Convert: ZIP, TAR.GZ\n⌘ Tools: Zip");
}
