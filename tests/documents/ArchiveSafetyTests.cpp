#include "ArchiveTestSupport.h"

#include "documents/ArchiveOps.h"

#include <functional>
#include <set>

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

// Replaces every occurrence of a byte string of the same length (names in zip headers).
void patch(const Path& file, const std::string& from, const std::string& to)
{
    std::string bytes = readFile(file);
    for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at)) bytes.replace(at, from.size(), to);
    writeFile(file, bytes);
}
}

TEST_F(ArchiveSafetyTest, AwkwardNamesReachZipAndTarAsNames)
{
    const std::vector<std::string> common = {"-rf", "-", "a b", "quote\"d 'both'", "bytes \xe9\xfe", "a[1]", "a1", "*", "?"};
    // unzip drops control characters and the byte 0xff from the names it writes; tar keeps them.
    const std::vector<std::string> tarOnly = {"new\nline", "bytes \xff"};
    for (const std::string format : {"zip", "tar.gz"}) {
        std::vector<std::string> names = common;
        if (format == "tar.gz") names.insert(names.end(), tarOnly.begin(), tarOnly.end());
        Paths items;
        for (const std::string& name : names) {
            writeFile(dir / "in" / name, "content of " + name);
            items.push_back(dir / "in" / name);
        }
        writeFile(dir / "in/-dir/-x", "nested");
        items.push_back(dir / "in/-dir");

        const Path out = ArchiveOps::extract(ArchiveOps::compress(items, format));
        EXPECT_EQ(out, dir / "in/Archive") << format;
        std::set<std::string> expected(names.begin(), names.end());
        expected.insert("-dir");
        const auto got = listFolder(out);
        EXPECT_EQ(std::set<std::string>(got.begin(), got.end()), expected) << format;
        for (const std::string& name : names) EXPECT_EQ(readFile(out / name), "content of " + name) << format;
        EXPECT_EQ(readFile(out / "-dir/-x"), "nested");
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
    // tar -P stores names as given: absolute, or climbing far above any extraction folder.
    const Path victim = outside / "victim.txt";
    writeFile(victim, "original");
    const std::string climb = "../../../../../../../../../../../../.." + victim.string();
    sh("/usr/bin/tar", {"-cPf", (dir / "climb.tar").string(), climb}, dir.path());
    sh("/usr/bin/tar", {"-cPf", (dir / "absolute.tar").string(), victim.string()}, dir.path());
    fs::remove(victim);
    linkThenFileThroughIt([&](const Path& a, const Path& b) {
        sh("/usr/bin/tar", {"-cf", (dir / "through.tar").string(), "-C", a.string(), "l"});
        sh("/usr/bin/tar", {"-rf", (dir / "through.tar").string(), "-C", b.string(), "l/planted.txt"});
    });

    writeFile(dir / "work/inner/file.txt", "x");
    sh("/usr/bin/zip", {"-q", (dir / "climb.zip").string(), "../inner/file.txt"}, dir / "work/inner");
    writeFile(dir / "work/_abs.txt", "x");
    sh("/usr/bin/zip", {"-q", (dir / "absolute.zip").string(), "_abs.txt"}, dir / "work");
    patch(dir / "absolute.zip", "_abs.txt", "/abs.txt");
    fs::remove_all(dir / "work");
    linkThenFileThroughIt([&](const Path& a, const Path& b) {
        sh("/usr/bin/zip", {"-q", "-y", (dir / "through.zip").string(), "l"}, a);
        sh("/usr/bin/zip", {"-q", (dir / "through.zip").string(), "l/planted.txt"}, b);
    });

    expectRefused("climb.tar", climb);
    expectRefused("absolute.tar", victim.string());
    expectRefused("through.tar", "l/planted.txt");
    expectRefused("climb.zip", "../inner/file.txt");
    expectRefused("absolute.zip", "/abs.txt");
    expectRefused("through.zip", "l/planted.txt");
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

TEST_F(ArchiveSafetyTest, BrokenArchivesFailWithTheProgramsWordsAndLeaveNothing)
{
    std::string noise;
    for (int i = 0; i < 200000; ++i) noise += static_cast<char>((i * 7919) % 251);
    writeFile(dir / "src/a.bin", noise);
    writeFile(dir / "src/b.bin", noise + noise);
    sh("/usr/bin/tar", {"-czf", (dir / "site.tar.gz").string(), "a.bin", "b.bin"}, dir / "src");
    sh("/usr/bin/zip", {"-q", (dir / "site.zip").string(), "a.bin", "b.bin"}, dir / "src");
    writeFile(dir / "notes.txt", noise);
    sh("/usr/bin/gzip", {"notes.txt"}, dir.path());
    fs::remove_all(dir / "src");
    for (const std::string name : {"site.tar.gz", "site.zip", "notes.txt.gz"}) {
        const std::string bytes = readFile(dir / name);
        writeFile(dir / name, bytes.substr(0, bytes.size() / 2));
    }
    writeFile(dir / "garbage.tar", "this is not an archive at all");

    // Each fails with the program's words and leaves the folder as it was.
    for (const auto& [name, program] : std::vector<std::pair<std::string, std::string>>{
             {"site.tar.gz", "tar: "}, {"site.zip", "unzip: "}, {"notes.txt.gz", "gunzip: "}, {"garbage.tar", "tar: "}}) {
        const auto before = listFolder(dir.path());
        EXPECT_TRUE(errorOf([&] { ArchiveOps::extract(dir / name); }).starts_with(program)) << name;
        EXPECT_EQ(listFolder(dir.path()), before) << name;
    }
}
