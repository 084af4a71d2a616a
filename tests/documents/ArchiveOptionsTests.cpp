#include "ArchiveTestSupport.h"

using namespace TestSupport;
using namespace ArchiveTestSupport;

TEST_F(ArchiveTest, CommandLinePacksExtractsAndLists)
{
    writeFile(dir / "a.txt", "a");
    writeFile(dir / "b.txt", "b");
    writeFile(dir / "src/photos/1.jpg", "1");
    sh("/usr/bin/tar", {"-czf", (dir / "photos.tar.gz").string(), "photos"}, dir / "src");
    sh("7z", {"a", "-bd", (dir / "x.7z").string(), "photos"}, dir / "src");
    sh("bsdtar", {"--format", "cpio", "-cf", (dir / "x.cpio").string(), "photos"}, dir / "src");

    const auto zipped = runVarnolt({"--run", "tools", "zip", "a.txt", "b.txt"}, {}, dir.path());
    EXPECT_EQ(zipped.status, 0) << zipped.err;
    EXPECT_EQ(zipped.out, (dir / "Archive.zip").string() + "\n");
    const auto extracted = runVarnolt({"--run", "convert", "extract", "photos.tar.gz"}, {}, dir.path());
    EXPECT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(extracted.out, (dir / "photos").string() + "\n");
    EXPECT_EQ(readFile(dir / "photos/1.jpg"), "1");
    for (const std::string name : {"x.7z", "x.cpio"}) {
        const auto other = runVarnolt({"--run", "convert", "extract", name}, {}, dir.path());
        EXPECT_EQ(other.out, (dir / "photos 2").string() + "\n") << other.err;
        std::filesystem::remove_all(dir / "photos 2");
    }
    // The convert page's packaging also takes the whole selection into one archive.
    const auto packed = runVarnolt({"--run", "convert", "tar.gz", "photos", "a.txt"}, {}, dir.path());
    EXPECT_EQ(packed.out, (dir / "Archive.tar.gz").string() + "\n") << packed.err;

    writeFile(dir / "broken.tar.gz", "not gzip");
    const auto broken = runVarnolt({"--run", "convert", "extract", "broken.tar.gz"}, {}, dir.path());
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, "ERROR: broken.tar.gz wasn't extracted: it isn't an archive, or it is damaged\n");
    EXPECT_FALSE(hasStaging(dir.path()));

    writeFile(dir / "log.gz", "");
    writeFile(dir / "data.zip", "");
    writeFile(dir / "clip.srt", "");
    const std::vector<std::pair<Names, std::string>> pages = {
        {{"photos.tar.gz"}, "⇧ Convert: Extract, ZIP, TAR.GZ\n⌘ Tools: Extract"},
        {{"log.gz"}, "⇧ Convert: Extract\n⌘ Tools: Extract"},
        {{"data.zip"}, "⇧ Convert: Extract, TAR.GZ\n⌘ Tools: Extract"},
        // One plain .gz in the selection is enough to offer only Extract.
        {{"photos.tar.gz", "log.gz"}, "⇧ Convert: Extract\n⌘ Tools: Extract"},
        {{"photos"}, "⇧ Convert: ZIP, TAR.GZ\n⌘ Tools: Zip"},
        {{"photos", "a.txt"}, "⇧ Convert: ZIP, TAR.GZ\n⌘ Tools: Zip"},
        {{"data.zip", "a.txt"}, "⇧ Convert: ZIP, TAR.GZ\n⌘ Tools: Zip"},
        {{"clip.srt"}, "⇧ Convert: VTT, TXT\n⌘ Tools: Zip"},
    };
    for (const auto& [files, expected] : pages) {
        Names args = {"--list"};
        args.insert(args.end(), files.begin(), files.end());
        const std::string out = runVarnolt(args, {}, dir.path()).out;
        // The actions line belongs to the actions page; only the first two lines are ours.
        EXPECT_EQ(out.substr(0, out.find("\n⌃")), expected) << files.front();
    }
}
