#include "ArchiveTestSupport.h"

#include "core/Settings.h"
#include "documents/ArchiveOps.h"

#include <QStandardPaths>

using namespace TestSupport;
using namespace ArchiveTestSupport;
namespace fs = std::filesystem;

// Every kind of archive the catalog offers to extract, made by its own tool (tar, zip, 7z,
// bsdtar), in a folder reached through a symbolic link.
TEST_F(ArchiveTest, EveryFormatExtracts)
{
    fs::create_directory_symlink(dir.path(), dir / "via");
    for (const std::string name : {"t.tar", "t.tgz", "t.tar.bz2", "t.txz", "t.zip", "t.7z", "t.cpio", "t.xar"}) {
        copyArchives({name}, dir.path());
        const Path out = ArchiveOps::extract(dir / "via" / name);
        EXPECT_EQ(out, dir / "via/t") << name;
        EXPECT_EQ(listFolder(out), (Names{"a.txt", "été.txt"})) << name;
        EXPECT_EQ(readFile(out / "été.txt"), "summer") << name;
        fs::remove_all(out);
    }
    EXPECT_FALSE(hasStaging(dir.path()));
}

TEST_F(ArchiveTest, ExtractLiftsASingleFolderUnpacksSingleFilesAndCountsUp)
{
    writeFile(dir / "photos/sub/b.jpg", "b");
    sh("/usr/bin/tar", {"-czf", "photos.tar.gz", "photos"}, dir.path());
    fs::rename(dir / "photos", dir / "original");
    EXPECT_EQ(ArchiveOps::extract(dir / "photos.tar.gz"), dir / "photos");
    EXPECT_EQ(readFile(dir / "photos/sub/b.jpg"), "b");
    EXPECT_EQ(ArchiveOps::extract(dir / "photos.tar.gz"), dir / "photos 2");

    for (const auto& [program, ext] : std::vector<std::pair<std::string, std::string>>{{"gzip", "gz"}, {"bzip2", "bz2"}, {"xz", "xz"}}) {
        writeFile(dir / "notes.txt", "hello notes");
        writeFile(dir / "log", "lines");
        sh(program, {"notes.txt", "log"}, dir.path());
        EXPECT_EQ(ArchiveOps::extract(dir / ("notes.txt." + ext)), dir / "notes.txt") << ext;
        EXPECT_EQ(readFile(dir / "notes.txt"), "hello notes");
        EXPECT_EQ(ArchiveOps::extract(dir / ("notes.txt." + ext)), dir / "notes 2.txt") << ext;
        EXPECT_EQ(ArchiveOps::extract(dir / ("log." + ext)), dir / "log") << ext;
        EXPECT_EQ(readFile(dir / "log"), "lines");
        for (const std::string& name : Names{"notes.txt", "notes 2.txt", "log", "notes.txt." + ext, "log." + ext}) fs::remove(dir / name);
    }

    // gzip itself says "decompression OK, trailing garbage ignored" and keeps the data.
    writeFile(dir / "tail.txt", "all of it");
    sh("gzip", {"tail.txt"}, dir.path());
    writeFile(dir / "tail.txt.gz", readFile(dir / "tail.txt.gz") + "trailing junk");
    EXPECT_EQ(readFile(ArchiveOps::extract(dir / "tail.txt.gz")), "all of it");
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

TEST_F(ArchiveTest, CompressNamesTheArchiveAndLeavesOnlyDsStoreOut)
{
    for (const std::string name : {"a.txt", "b.txt", "c.txt"}) writeFile(dir / name, name);
    const Paths three = {dir / "a.txt", dir / "b.txt", dir / "c.txt"};
    EXPECT_EQ(ArchiveOps::compress(three, "zip"), dir / "Archive.zip");
    EXPECT_EQ(ArchiveOps::compress(three, "zip"), dir / "Archive 2.zip");
    EXPECT_EQ(ArchiveOps::compress(three, "tar.gz"), dir / "Archive.tar.gz");

    writeFile(dir / "album/pic.jpg", "p");
    writeFile(dir / "album/.DS_Store", "junk");
    writeFile(dir / "album/inner/.DS_Store", "junk");
    writeFile(dir / "album/inner/x.DS_Store", "a user's file");
    for (const std::string format : {"zip", "tar.gz"}) {
        const Path archive = ArchiveOps::compress({dir / "album"}, format);
        EXPECT_EQ(archive, dir / ("album." + format));
        fs::rename(dir / "album", dir / "kept");
        const Path out = ArchiveOps::extract(archive);
        EXPECT_EQ(listFolder(out), (Names{"inner", "pic.jpg"})) << format;
        EXPECT_EQ(listFolder(out / "inner"), Names{"x.DS_Store"}) << format;
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
