#include "ArchiveTestSupport.h"

#include "core/Errors.h"
#include "core/Settings.h"
#include "documents/ArchiveOps.h"

#include <QStandardPaths>

using namespace TestSupport;
using namespace ArchiveTestSupport;
using Names = std::vector<std::string>;

namespace {
class ArchiveOpsTest : public FreshHome {
protected:
    // Settings outlive the fixture's home within one test program.
    void TearDown() override
    {
        Settings::setValue("outputLocation", "sameFolder");
        FreshHome::TearDown();
    }

    TempDir dir;
};
}

TEST_F(ArchiveOpsTest, SingleTopFolderIsLiftedAndCountsUp)
{
    writeFile(dir / "photos/a.jpg", "a");
    writeFile(dir / "photos/sub/b.jpg", "b");
    sh("/usr/bin/tar", {"-czf", "photos.tar.gz", "photos"}, dir.path());
    std::filesystem::rename(dir / "photos", dir / "original");

    const Path first = ArchiveOps::extract(dir / "photos.tar.gz");
    EXPECT_EQ(first, dir / "photos");
    EXPECT_EQ(readFile(first / "sub/b.jpg"), "b");
    EXPECT_EQ(ArchiveOps::extract(dir / "photos.tar.gz"), dir / "photos 2");
    EXPECT_EQ(listFolder(dir.path()), (Names{"original", "photos", "photos 2", "photos.tar.gz"}));
}

TEST_F(ArchiveOpsTest, SeveralItemsGoIntoAFolderNamedAfterTheArchiveWithoutMacJunk)
{
    writeFile(dir / "src/a.txt", "a");
    writeFile(dir / "src/b.txt", "b");
    writeFile(dir / "src/.DS_Store", "junk");
    writeFile(dir / "src/__MACOSX/._a.txt", "junk");
    sh("/usr/bin/zip", {"-q", "-r", (dir / "bundle.zip").string(), "a.txt", "b.txt", ".DS_Store", "__MACOSX"}, dir / "src");

    const Path out = ArchiveOps::extract(dir / "bundle.zip");
    EXPECT_EQ(out, dir / "bundle");
    EXPECT_EQ(listFolder(out), (Names{"a.txt", "b.txt"}));
    EXPECT_FALSE(hasStaging(dir.path()));
}

TEST_F(ArchiveOpsTest, PlainGzipGivesTheFileItHolds)
{
    writeFile(dir / "notes.txt", "hello notes");
    writeFile(dir / "log", "lines");
    sh("/usr/bin/gzip", {"notes.txt", "log"}, dir.path());

    EXPECT_EQ(ArchiveOps::extract(dir / "notes.txt.gz"), dir / "notes.txt");
    EXPECT_EQ(readFile(dir / "notes.txt"), "hello notes");
    EXPECT_EQ(ArchiveOps::extract(dir / "notes.txt.gz"), dir / "notes 2.txt");
    const Path log = ArchiveOps::extract(dir / "log.gz");
    EXPECT_EQ(log, dir / "log");
    EXPECT_TRUE(std::filesystem::is_regular_file(log));
}

TEST_F(ArchiveOpsTest, CompressNamesTheArchiveAfterOneItemElseArchive)
{
    writeFile(dir / "report.pdf", "%PDF");
    writeFile(dir / "a.txt", "a");
    writeFile(dir / "b.txt", "b");
    writeFile(dir / "c.txt", "c");

    EXPECT_EQ(ArchiveOps::compress({dir / "report.pdf"}, "zip"), dir / "report.zip");
    const Paths three = {dir / "a.txt", dir / "b.txt", dir / "c.txt"};
    EXPECT_EQ(ArchiveOps::compress(three, "zip"), dir / "Archive.zip");
    EXPECT_EQ(ArchiveOps::compress(three, "zip"), dir / "Archive 2.zip");
    EXPECT_EQ(ArchiveOps::compress(three, "tar.gz"), dir / "Archive.tar.gz");

    const Path unpacked = ArchiveOps::extract(dir / "Archive 2.zip");
    EXPECT_EQ(listFolder(unpacked), (Names{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(readFile(unpacked / "c.txt"), "c");
    EXPECT_FALSE(hasStaging(dir.path()));
}

TEST_F(ArchiveOpsTest, DsStoreNeverEntersANewArchive)
{
    writeFile(dir / "album/pic.jpg", "p");
    writeFile(dir / "album/.DS_Store", "junk");
    writeFile(dir / "album/inner/.DS_Store", "junk");
    for (const std::string format : {"zip", "tar.gz"}) {
        const Path archive = ArchiveOps::compress({dir / "album"}, format);
        std::filesystem::rename(dir / "album", dir / "kept");
        const Path out = ArchiveOps::extract(archive);
        EXPECT_EQ(out, dir / "album") << format;
        EXPECT_EQ(listFolder(out), (Names{"inner", "pic.jpg"})) << format;
        EXPECT_TRUE(listFolder(out / "inner").empty()) << format;
        std::filesystem::remove_all(out);
        std::filesystem::rename(dir / "kept", dir / "album");
    }
}

TEST_F(ArchiveOpsTest, ItemsFromTwoFoldersLandAtTheTop)
{
    writeFile(dir / "one/a.txt", "a");
    writeFile(dir / "two/deep/b.txt", "b");
    writeFile(dir / "three/a.txt", "other a");

    const Path archive = ArchiveOps::compress({dir / "one/a.txt", dir / "two/deep"}, "tar.gz");
    EXPECT_EQ(archive, dir / "one/Archive.tar.gz");
    const Path out = ArchiveOps::extract(archive);
    EXPECT_EQ(listFolder(out), (Names{"a.txt", "deep"}));
    EXPECT_EQ(readFile(out / "deep/b.txt"), "b");

    // Two items of one name cannot share the top of an archive.
    try {
        ArchiveOps::compress({dir / "one/a.txt", dir / "three/a.txt"}, "zip");
        FAIL() << "expected a name clash";
    } catch (const KError& e) {
        EXPECT_EQ(e.message(), "Two items are named a.txt — rename one to pack them together");
    }
    EXPECT_EQ(listFolder(dir / "one"), (Names{"Archive", "Archive.tar.gz", "a.txt"}));
}

TEST_F(ArchiveOpsTest, RepackKeepsTheContentsInTheOtherFormat)
{
    writeFile(dir / "src/x.txt", "x");
    writeFile(dir / "src/__MACOSX/._x.txt", "junk");
    writeFile(dir / "src/d/y.txt", "y");
    sh("/usr/bin/zip", {"-q", "-r", (dir / "data.zip").string(), "x.txt", "d", "__MACOSX"}, dir / "src");

    const Path tgz = ArchiveOps::repack(dir / "data.zip", "tar.gz");
    EXPECT_EQ(tgz, dir / "data.tar.gz");
    const Path back = ArchiveOps::repack(tgz, "zip");
    EXPECT_EQ(back, dir / "data 2.zip");
    const Path out = ArchiveOps::extract(back);
    EXPECT_EQ(listFolder(out), (Names{"d", "x.txt"}));
    EXPECT_EQ(readFile(out / "d/y.txt"), "y");
}

TEST_F(ArchiveOpsTest, ResultsFollowTheOutputLocation)
{
    Settings::setValue("outputLocation", "downloads");
    const Path downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation).toStdString();
    writeFile(dir / "src/a.txt", "a");
    writeFile(dir / "src/b.txt", "b");
    sh("/usr/bin/tar", {"-cf", (dir / "pair.tar").string(), "a.txt", "b.txt"}, dir / "src");

    EXPECT_EQ(ArchiveOps::extract(dir / "pair.tar"), downloads / "pair");
    EXPECT_EQ(ArchiveOps::compress({dir / "src/a.txt", dir / "src/b.txt"}, "zip"), downloads / "Archive.zip");
    EXPECT_FALSE(hasStaging(downloads));
    EXPECT_EQ(listFolder(dir.path()), (Names{"pair.tar", "src"}));
}
