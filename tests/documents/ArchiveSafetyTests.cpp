#include "ArchiveTestSupport.h"

#include "documents/ArchiveOps.h"

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;
using namespace ArchiveTestSupport;
namespace fs = std::filesystem;

namespace {
class ArchiveSafetyTest : public ArchiveTest {
protected:
    TempDir outside;

    // Extracting and repacking must both fail because of the item and leave the archive's
    // folder as it was.
    void expectRefused(const std::string& name, const std::string& item)
    {
        const auto before = listFolder(dir.path());
        for (const bool repack : {false, true}) {
            EXPECT_EQ(errorOf([&] { repack ? ArchiveOps::repack(dir / name, "zip") : ArchiveOps::extract(dir / name); }),
                      name + " wasn't extracted: its item \"" + item + "\" would land outside the extraction folder");
            EXPECT_EQ(listFolder(dir.path()), before);
        }
    }

    // A link to the folder outside, then a file written through it: pack(a, b) stores a/l then b/l/planted.txt.
    void linkThenFileThroughIt(const std::function<void(const Path&, const Path&)>& pack)
    {
        fs::create_directories(dir / "a");
        fs::create_symlink(outside.path(), dir / "a/l");
        writeFile(dir / "b/l/planted.txt", "planted");
        pack(dir / "a", dir / "b");
        fs::remove_all(dir / "a");
        fs::remove_all(dir / "b");
    }
};
}

TEST_F(ArchiveSafetyTest, AwkwardNamesReachZipAndTarAsNames)
{
    const std::vector<std::string> common = {"-rf", "-", "a b", "quote\"d 'both'", "bytes \xe9\xfe", "a[1]", "a1", "*", "?"};
    // unzip drops control characters and the byte 0xff from the names it writes; tar keeps them.
    const std::vector<std::string> tarOnly = {"new\nline", "bytes \xff"};
    for (const std::string format : {"zip", "tar.gz"}) {
        std::vector<std::string> names = common;
        if (format == "tar.gz") names.insert(names.end(), tarOnly.begin(), tarOnly.end());
        Paths items = {dir / "in/-dir"};
        writeFile(dir / "in/-dir/-x", "nested");
        for (const std::string& name : names) {
            writeFile(dir / "in" / name, "content of " + name);
            items.push_back(dir / "in" / name);
        }
        const Path out = ArchiveOps::extract(ArchiveOps::compress(items, format));
        EXPECT_EQ(out, dir / "in/Archive") << format;
        // Every name reads back with its content, and nothing else is there.
        for (const std::string& name : names) EXPECT_EQ(readFile(out / name), "content of " + name) << format;
        EXPECT_EQ(readFile(out / "-dir/-x"), "nested");
        EXPECT_EQ(listFolder(out).size(), names.size() + 1) << format;
        fs::remove_all(dir / "in");
    }

    // One item named like an option gives an archive named like one.
    writeFile(dir / "in/-rf", "content of -rf");
    const Path single = ArchiveOps::compress({dir / "in/-rf"}, "zip");
    EXPECT_EQ(single, dir / "in/-rf.zip");
    EXPECT_EQ(readFile(ArchiveOps::extract(single) / "-rf"), "content of -rf");
}

TEST_F(ArchiveSafetyTest, WildcardsInAnArchiveNameMatchNothingElse)
{
    writeFile(dir / "src/only.txt", "only");
    writeFile(dir / "src/other.txt", "other");
    sh("/usr/bin/zip", {"-q", (dir / "w*.zip").string(), "only.txt"}, dir / "src");
    sh("/usr/bin/zip", {"-q", (dir / "w1.zip").string(), "other.txt"}, dir / "src");

    const Path out = ArchiveOps::extract(dir / "w*.zip");
    EXPECT_EQ(out, dir / "w*");
    EXPECT_EQ(listFolder(out), std::vector<std::string>{"only.txt"});
}

TEST_F(ArchiveSafetyTest, MembersThatLeaveTheFolderAreRefused)
{
    // -P stores names as given: absolute, or climbing far above any extraction folder.
    const Path victim = outside / "victim.txt";
    writeFile(victim, "original");
    const std::string climb = "../../../../../../../../../../../../.." + victim.string();
    sh("/usr/bin/tar", {"-cPf", (dir / "climb.tar").string(), climb}, dir.path());
    sh("/usr/bin/tar", {"-cPf", (dir / "absolute.tar").string(), victim.string()}, dir.path());
    sh("bsdtar", {"-P", "--format", "zip", "-cf", (dir / "absolute.zip").string(), victim.string()});
    fs::remove(victim);
    linkThenFileThroughIt([&](const Path& a, const Path& b) {
        sh("/usr/bin/tar", {"-cf", (dir / "through.tar").string(), "-C", a.string(), "l"});
        sh("/usr/bin/tar", {"-rf", (dir / "through.tar").string(), "-C", b.string(), "l/planted.txt"});
    });

    writeFile(dir / "work/inner/file.txt", "x");
    sh("/usr/bin/zip", {"-q", (dir / "climb.zip").string(), "../inner/file.txt"}, dir / "work/inner");
    sh("7z", {"a", "-bd", "-spf", (dir / "climb.7z").string(), "../inner/file.txt"}, dir / "work/inner");
    fs::remove_all(dir / "work");
    linkThenFileThroughIt([&](const Path& a, const Path& b) {
        sh("/usr/bin/zip", {"-q", "-y", (dir / "through.zip").string(), "l"}, a);
        sh("/usr/bin/zip", {"-q", (dir / "through.zip").string(), "l/planted.txt"}, b);
    });

    for (const auto& [name, item] : std::vector<std::pair<std::string, std::string>>{
             {"climb.tar", climb}, {"absolute.tar", victim.string()}, {"through.tar", "l/planted.txt"}, {"climb.zip", "../inner/file.txt"},
             {"absolute.zip", victim.string()}, {"through.zip", "l/planted.txt"}, {"climb.7z", "../inner/file.txt"}}) {
        expectRefused(name, item);
    }
    EXPECT_TRUE(listFolder(outside.path()).empty());
}

TEST_F(ArchiveSafetyTest, LinksThatStayInsideAreKept)
{
    writeFile(dir / "src/pack/real/file.txt", "real");
    fs::create_symlink("real", dir / "src/pack/alias");
    sh("/usr/bin/tar", {"-cf", (dir / "pack.tar").string(), "pack"}, dir / "src");
    sh("/usr/bin/zip", {"-q", "-r", "-y", (dir / "pack.zip").string(), "pack"}, dir / "src");
    fs::remove_all(dir / "src");

    for (const std::string name : {"pack.tar", "pack.zip"}) {
        const Path out = ArchiveOps::extract(dir / name);
        EXPECT_TRUE(fs::is_symlink(out / "alias")) << name;
        EXPECT_EQ(readFile(out / "alias/file.txt"), "real") << name;
        fs::remove_all(out);
    }
}

// Extracting as root must not make devices, pipes, set-ID programs or files of other users.
TEST_F(ArchiveSafetyTest, SpecialMembersAreRefusedAndModesTamed)
{
    // A character device, a pipe, and a set-ID program of user 12345.
    copyArchives({"device.tar", "pipe.tar", "tool.tar"}, dir.path());
    for (const auto& [name, item] : std::vector<std::pair<std::string, std::string>>{{"device.tar", "dev/null"}, {"pipe.tar", "pipe"}}) {
        const auto before = listFolder(dir.path());
        EXPECT_EQ(errorOf([&] { ArchiveOps::extract(dir / name); }), name + " wasn't extracted: its item \"" + item + "\" is a device or a pipe");
        EXPECT_EQ(listFolder(dir.path()), before);
    }
    struct stat info {};
    ASSERT_EQ(::stat(ArchiveOps::extract(dir / "tool.tar").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & (S_ISUID | S_ISGID), 0u);
    EXPECT_EQ(info.st_mode & S_IXUSR, S_IXUSR);
    EXPECT_EQ(info.st_uid, ::getuid());
}

// unzip would wait on the terminal for a password; no archive asks for one.
TEST_F(ArchiveSafetyTest, EncryptedArchivesAreRefused)
{
    copyArchives({"locked.zip", "locked.7z"}, dir.path());
    for (const std::string name : {"locked.zip", "locked.7z"}) {
        EXPECT_EQ(errorOf([&] { ArchiveOps::extract(dir / name); }), name + " wasn't extracted: it is protected by a password");
    }
    EXPECT_EQ(listFolder(dir.path()), (Names{"locked.7z", "locked.zip"}));
}

// A few kilobytes that expand past the free space are refused before the disk fills. The disk
// is an 8 MB one of a private mount namespace, which needs the right to mount.
TEST_F(ArchiveSafetyTest, ArchivesLargerThanTheFreeSpaceAreRefused)
{
    if (runProgram("unshare", {"-m", "true"}).status != 0) GTEST_SKIP() << "no private mount namespace here";
    writeFile(dir / "src/zeros.bin", std::string(20'000'000, '\0'));
    sh("/usr/bin/zip", {"-q", (dir / "bomb.zip").string(), "zeros.bin"}, dir / "src");
    sh("/usr/bin/tar", {"-czf", (dir / "bomb.tar.gz").string(), "zeros.bin"}, dir / "src");
    sh("gzip", {"zeros.bin"}, dir / "src");
    fs::rename(dir / "src/zeros.bin.gz", dir / "bomb.bin.gz");
    fs::remove_all(dir / "src");

    const std::string script = "mount -t tmpfs -o size=8m tmpfs \"$1\" && cp \"$2\"/bomb* \"$1\" && cd \"$1\" && "
                               "for f in bomb*; do \"$3\" --run convert extract \"$f\"; done; ls -A";
    fs::create_directories(dir / "disk");
    const auto result = runProgram("unshare", {"-m", "sh", "-c", script, "sh", (dir / "disk").string(), dir.path().string(), VARNOLT_EXE});
    EXPECT_EQ(result.out, "ERROR: bomb.bin.gz wasn't extracted: it expands to more than the 8.3 MB free on the disk\n"
                          "ERROR: bomb.tar.gz wasn't extracted: it expands to more than the 8.3 MB free on the disk\n"
                          "ERROR: bomb.zip wasn't extracted: it expands to more than the 8.3 MB free on the disk\n"
                          "bomb.bin.gz\nbomb.tar.gz\nbomb.zip\n") << result.err;
}

TEST_F(ArchiveSafetyTest, BrokenArchivesFailAndLeaveNothing)
{
    // Archives cut to their first half, text named as an archive, and a .gz that holds plain text.
    copyArchives({"site.tar.gz", "site.zip", "site.7z", "notes.txt.gz", "garbage.tar", "plain.txt.gz"}, dir.path());
    for (const auto& [name, message] : std::vector<std::pair<std::string, std::string>>{
             {"site.tar.gz", "site.tar.gz wasn't extracted: it is damaged ("}, {"site.7z", "site.7z wasn't extracted: it is damaged ("}, {"site.zip", "unzip: "},
             {"notes.txt.gz", "notes.txt.gz wasn't extracted: it isn't an archive, or it is damaged"},
             {"garbage.tar", "garbage.tar wasn't extracted: it isn't an archive, or it is damaged"},
             {"plain.txt.gz", "plain.txt.gz wasn't extracted: it isn't a .gz file, or it is damaged"}}) {
        const auto before = listFolder(dir.path());
        const std::string error = errorOf([&] { ArchiveOps::extract(dir / name); });
        EXPECT_TRUE(error.starts_with(message)) << error;
        EXPECT_EQ(listFolder(dir.path()), before) << name;
    }
}
