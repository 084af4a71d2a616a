#include "TestSupport.h"

#include "core/Output.h"
#include "core/Settings.h"

#include <set>
#include <thread>

using namespace TestSupport;
namespace fs = std::filesystem;

using OutputTest = FreshHomeWithFiles;

TEST_F(OutputTest, NamesCountUpAndNeverOverwrite)
{
    const Path cat = file("cat.heic");
    EXPECT_EQ(Output::url(cat, "png"), dir / "cat.png");
    EXPECT_EQ(Output::url(cat, "png"), dir / "cat 2.png");
    EXPECT_EQ(Output::url(cat, "png"), dir / "cat 3.png");
    // A reserved name holds an empty placeholder until the writer fills it (a folder would throw).
    EXPECT_EQ(fs::file_size(dir / "cat 3.png"), 0u);

    EXPECT_EQ(Output::url(file("Holiday.png"), "png"), dir / "Holiday 2.png");
    EXPECT_EQ(Output::url(file("clip.mov"), "mp4", "compressed"), dir / "clip (compressed).mp4");
    EXPECT_EQ(Output::url(dir / "clip.mov", "mp4", "compressed"), dir / "clip (compressed) 2.mp4");

    // Stems drop one extension, and a tar before it.
    for (const auto& [source, out] : std::vector<std::pair<std::string, std::string>>{
             {"backup.tar.gz", "backup.zip"}, {"old.TAR.bz2", "old.zip"}, {"notes.txt.bak", "notes.txt.zip"}, {"photo.final.jpg", "photo.final.zip"}}) {
        EXPECT_EQ(Output::url(file(source), "zip"), dir / out);
    }
}

TEST_F(OutputTest, EmptyExtensionReservesAFolder)
{
    fs::create_directory(dir / "Photos");
    writeFile(dir / "Photos.zip", "x");
    const Path first = Output::url(dir / "Photos.zip", "");
    EXPECT_EQ(first, dir / "Photos 2");
    EXPECT_TRUE(fs::is_directory(first));
    EXPECT_EQ(Output::unique(dir.path(), "Photos", "", Output::Item::file), dir / "Photos 3");
    EXPECT_TRUE(fs::is_regular_file(dir / "Photos 3"));
}

TEST_F(OutputTest, OutputLocationChoosesTheFolder)
{
    const Path cat = file("cat.heic");
    Settings::setValue("outputLocation", "downloads");
    EXPECT_EQ(Output::directory(cat), home() / "Downloads");
    Settings::setValue("outputLocation", "desktop");
    EXPECT_EQ(Output::directory(cat), home() / "Desktop");
}

TEST_F(OutputTest, UnwritableFolderFallsBackToDownloads)
{
    fs::create_directory(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
    const Path folder = [&] {
        const OrdinaryUser nobody;
        return Output::directory(dir / "locked" / "cat.heic");
    }();
    EXPECT_EQ(folder, home() / "Downloads");
    fs::permissions(dir / "locked", fs::perms::owner_all);
}

TEST_F(OutputTest, ConcurrentRunsNeverShareAName)
{
    const Path cat = file("cat.heic");
    constexpr int runs = 16;
    std::vector<Path> results(runs);
    std::vector<std::thread> threads;
    for (int i = 0; i < runs; ++i) threads.emplace_back([&, i] { results[i] = Output::url(cat, "png"); });
    for (auto& t : threads) t.join();
    const std::set<Path> distinct(results.begin(), results.end());
    EXPECT_EQ(distinct.size(), size_t(runs));
    EXPECT_TRUE(distinct.count(dir / "cat.png"));
    EXPECT_TRUE(distinct.count(dir / "cat 16.png"));
}

TEST_F(OutputTest, PendingRemovesAFailedOutputAndKeepsACompleteOne)
{
    const Path cat = file("cat.heic");
    Path failed;
    try {
        Output::Pending pending(Output::url(cat, "png"));
        failed = pending.path();
        writeFile(failed, "half");
        throw std::runtime_error("encoder died");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(fs::exists(failed));
    Output::Pending pending(Output::url(cat, "png"));
    writeFile(pending.path(), "done");
    EXPECT_EQ(readFile(pending.keep()), "done");
}

TEST_F(OutputTest, ScratchFoldersAndSizes)
{
    Path scratch;
    {
        Output::ScratchDir dirGuard;
        scratch = dirGuard.path();
        EXPECT_TRUE(fs::is_directory(scratch));
        EXPECT_EQ(scratch.filename().string().size(), 8u + 36u);
        EXPECT_EQ(scratch.filename().string(), upperAscii(scratch.filename().string()).replace(0, 8, "Varnolt-"));
        writeFile(scratch / "a/b.txt", "hello");
    }
    EXPECT_FALSE(fs::exists(scratch));

    EXPECT_EQ(Output::size(dir / "missing"), 0);
    fs::create_directory(dir / "empty");
    EXPECT_EQ(Output::size(dir / "empty"), 0);
    writeFile(dir / "tree/one.bin", std::string(1000, 'a'));
    writeFile(dir / "tree/sub/.hidden", std::string(24, 'b'));
    EXPECT_EQ(Output::size(dir / "tree"), 1024);
    EXPECT_EQ(Output::size(dir / "tree/one.bin"), 1000);
}
