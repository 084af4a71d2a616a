#include "ArchiveTestSupport.h"

#include "core/Settings.h"
#include "documents/ArchiveOps.h"

#include <QStandardPaths>

using namespace TestSupport;
using namespace ArchiveTestSupport;
namespace fs = std::filesystem;

TEST_F(ArchiveTest, ExtractLiftsASingleFolderUnpacksPlainGzipAndCountsUp)
{
    writeFile(dir / "photos/sub/b.jpg", "b");
    sh("/usr/bin/tar", {"-czf", "photos.tar.gz", "photos"}, dir.path());
    fs::rename(dir / "photos", dir / "original");
    writeFile(dir / "notes.txt", "hello notes");
    writeFile(dir / "log", "lines");
    sh("/usr/bin/gzip", {"notes.txt", "log"}, dir.path());

    EXPECT_EQ(ArchiveOps::extract(dir / "photos.tar.gz"), dir / "photos");
    EXPECT_EQ(readFile(dir / "photos/sub/b.jpg"), "b");
    EXPECT_EQ(ArchiveOps::extract(dir / "photos.tar.gz"), dir / "photos 2");
    EXPECT_EQ(ArchiveOps::extract(dir / "notes.txt.gz"), dir / "notes.txt");
    EXPECT_EQ(readFile(dir / "notes.txt"), "hello notes");
    EXPECT_EQ(ArchiveOps::extract(dir / "notes.txt.gz"), dir / "notes 2.txt");
    EXPECT_EQ(ArchiveOps::extract(dir / "log.gz"), dir / "log");
    EXPECT_EQ(readFile(dir / "log"), "lines");
}

TEST_F(ArchiveTest, MacJunkIsDroppedAndRepackKeepsTheRest)
{
    writeFile(dir / "src/a.txt", "a");
    writeFile(dir / "src/d/y.txt", "y");
    writeFile(dir / "src/.DS_Store", "junk");
    writeFile(dir / "src/__MACOSX/._a.txt", "junk");
    sh("/usr/bin/zip", {"-q", "-r", (dir / "data.zip").string(), "a.txt", "d", ".DS_Store", "__MACOSX"}, dir / "src");

    // Several items go into a folder named after the archive.
    EXPECT_EQ(ArchiveOps::extract(dir / "data.zip"), dir / "data");
    EXPECT_EQ(listFolder(dir / "data"), (Names{"a.txt", "d"}));
    const Path tgz = ArchiveOps::repack(dir / "data.zip", "tar.gz");
    EXPECT_EQ(tgz, dir / "data.tar.gz");
    EXPECT_EQ(ArchiveOps::repack(tgz, "zip"), dir / "data 2.zip");
    const Path out = ArchiveOps::extract(dir / "data 2.zip");
    EXPECT_EQ(listFolder(out), (Names{"a.txt", "d"}));
    EXPECT_EQ(readFile(out / "d/y.txt"), "y");
    EXPECT_FALSE(hasStaging(dir.path()));
}

TEST_F(ArchiveTest, CompressNamesTheArchiveAndLeavesDsStoreOut)
{
    for (const std::string name : {"a.txt", "b.txt", "c.txt"}) writeFile(dir / name, name);
    const Paths three = {dir / "a.txt", dir / "b.txt", dir / "c.txt"};
    EXPECT_EQ(ArchiveOps::compress(three, "zip"), dir / "Archive.zip");
    EXPECT_EQ(ArchiveOps::compress(three, "zip"), dir / "Archive 2.zip");
    EXPECT_EQ(ArchiveOps::compress(three, "tar.gz"), dir / "Archive.tar.gz");

    writeFile(dir / "album/pic.jpg", "p");
    writeFile(dir / "album/.DS_Store", "junk");
    writeFile(dir / "album/inner/.DS_Store", "junk");
    for (const std::string format : {"zip", "tar.gz"}) {
        const Path archive = ArchiveOps::compress({dir / "album"}, format);
        EXPECT_EQ(archive, dir / ("album." + format));
        fs::rename(dir / "album", dir / "kept");
        const Path out = ArchiveOps::extract(archive);
        EXPECT_EQ(listFolder(out), (Names{"inner", "pic.jpg"})) << format;
        EXPECT_TRUE(listFolder(out / "inner").empty()) << format;
        fs::remove_all(out);
        fs::rename(dir / "kept", dir / "album");
    }
}

TEST_F(ArchiveTest, ItemsFromTwoFoldersLandAtTheTop)
{
    writeFile(dir / "one/a.txt", "a");
    writeFile(dir / "two/deep/b.txt", "b");
    writeFile(dir / "three/a.txt", "other a");

    const Path archive = ArchiveOps::compress({dir / "one/a.txt", dir / "two/deep"}, "tar.gz");
    EXPECT_EQ(archive, dir / "one/Archive.tar.gz");
    const Path out = ArchiveOps::extract(archive);
    EXPECT_EQ(listFolder(out), (Names{"a.txt", "deep"}));
    EXPECT_EQ(readFile(out / "deep/b.txt"), "b");

    EXPECT_EQ(errorOf([&] { ArchiveOps::compress({dir / "one/a.txt", dir / "three/a.txt"}, "zip"); }),
              "Two items are named a.txt — rename one to pack them together");
    EXPECT_EQ(listFolder(dir / "one"), (Names{"Archive", "Archive.tar.gz", "a.txt"}));
}

TEST_F(ArchiveTest, ResultsFollowTheOutputLocation)
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

TEST_F(ArchiveTest, TarFindsTheCompressionByItself)
{
    writeFile(dir / "src/a.txt", "a");
    writeFile(dir / "src/b.txt", "b");
    for (const auto& [flag, name] : std::vector<std::pair<std::string, std::string>>{{"-cf", "t.tar"}, {"-czf", "t.tgz"}, {"-cjf", "t.tar.bz2"}, {"-cJf", "t.txz"}}) {
        sh("/usr/bin/tar", {flag, (dir / name).string(), "a.txt", "b.txt"}, dir / "src");
        const Path out = ArchiveOps::extract(dir / name);
        EXPECT_EQ(listFolder(out), (Names{"a.txt", "b.txt"})) << name;
        fs::remove_all(out);
    }
}
