#include "TestSupport.h"

#include "core/Settings.h"
#include "core/Shell.h"
#include "core/Tools.h"

#include <sstream>
#include <thread>

using namespace TestSupport;
namespace fs = std::filesystem;

TEST(Shell, FailuresQuoteTheLastThreeErrorLines)
{
    PrivateTemp temp;
    EXPECT_EQ(errorOf([] { Shell::run("/bin/sh", {"-c", "for i in 1 2 3 4 5; do echo line$i >&2; echo >&2; done; echo out; exit 1"}); }),
              "sh: line3 line4 line5");
    EXPECT_EQ(errorOf([] { Shell::run("/bin/sh", {"-c", "exit 3"}); }), "sh failed (exit 3)");
    EXPECT_EQ(errorOf([] { Shell::run("/nonexistent/zip", {}); }), "Couldn't start zip: it isn't installed (/nonexistent/zip is missing)");
    EXPECT_TRUE(listFolder(temp.dir.path()).empty());
}

TEST(Shell, PassesArgumentsVerbatimAndHonoursFolderAndOutputFile)
{
    TempDir dir;
    EXPECT_EQ(Shell::run("/bin/sh", {"-c", "head -c 1048576 /dev/zero | tr '\\0' a"}), std::string(1048576, 'a'));
    const std::string odd = "-n 'quoted' $HOME\nline";
    EXPECT_EQ(Shell::run("/usr/bin/printf", {"%s|", odd, "--"}), odd + "|--|");
    EXPECT_EQ(Shell::run("/bin/pwd", {}, dir.path()), dir.path().string() + "\n");
    EXPECT_EQ(Shell::run("/bin/echo", {"to file"}, std::nullopt, dir / "out.txt"), "");
    EXPECT_EQ(readFile(dir / "out.txt"), "to file\n");
    EXPECT_EQ(Shell::run("/bin/cat", {}), "");  // stdin is the null device, never a wait
    EXPECT_EQ(Shell::run("/usr/bin/printf", {"caf\xe9"}), "caf\xef\xbf\xbd");
}

// A program that could reach a terminal might stop to ask for a password there.
TEST(Shell, ProgramsRunInASessionOfTheirOwn)
{
    // /proc/<pid>/stat: pid (name) state parent group session …
    const std::string stat = Shell::run("/bin/sh", {"-c", "cat /proc/$$/stat"});
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string state, parent, group, session;
    fields >> state >> parent >> group >> session;
    EXPECT_EQ(session, stat.substr(0, stat.find(' ')));
}

TEST(Shell, RunsInParallelThreads)
{
    std::vector<std::thread> threads;
    std::vector<std::string> outs(6);
    for (int i = 0; i < 6; ++i) threads.emplace_back([&, i] { outs[i] = Shell::run("/bin/echo", {std::to_string(i)}); });
    for (auto& t : threads) t.join();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(outs[i], std::to_string(i) + "\n");
}

class ToolsTest : public FreshHome {
protected:
    TempDir bin;
    TempDir other;
    void TearDown() override
    {
        unsetenv("VARNOLT_TOOL_DIRS");
        FreshHome::TearDown();
    }
    // A program that lists a few encoders and counts how often it was asked.
    void fakeFfmpeg(const Path& folder) { fs::copy_file(Path(VARNOLT_TEST_DATA) / "fake-ffmpeg", folder / "ffmpeg"); }
};

TEST_F(ToolsTest, FindsProgramsInTheConfiguredFolders)
{
    setenv("VARNOLT_TOOL_DIRS", (other.path().string() + ":" + bin.path().string()).c_str(), 1);
    EXPECT_FALSE(Tools::ffmpeg());
    EXPECT_FALSE(Tools::ffmpegHas("libx264"));
    fakeFfmpeg(bin.path());
    EXPECT_EQ(Tools::ffmpeg(), bin / "ffmpeg");
    EXPECT_FALSE(Tools::ffprobe());
    writeFile(bin / "ffprobe", "#!/bin/sh\n");
    fs::permissions(bin / "ffprobe", fs::perms::owner_all);
    EXPECT_EQ(Tools::ffprobe(), bin / "ffprobe");

    // A chosen path that is not executable is skipped.
    writeFile(other / "my-ffmpeg", "");
    Settings::setValue("ffmpegPath", QString::fromStdString((other / "my-ffmpeg").string()));
    EXPECT_EQ(Tools::ffmpeg(), bin / "ffmpeg");
    fakeFfmpeg(other.path());
    Settings::setValue("ffmpegPath", QString::fromStdString((other / "ffmpeg").string()));
    EXPECT_EQ(Tools::ffmpeg(), other / "ffmpeg");
}

TEST_F(ToolsTest, EncoderListIsReadOncePerFfmpeg)
{
    setenv("VARNOLT_TOOL_DIRS", bin.path().c_str(), 1);
    fakeFfmpeg(bin.path());
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) threads.emplace_back([] { EXPECT_TRUE(Tools::ffmpegHas("libx264")); });
    for (auto& t : threads) t.join();
    EXPECT_TRUE(Tools::ffmpegHas("aac"));
    EXPECT_FALSE(Tools::ffmpegHas("AAC"));
    EXPECT_FALSE(Tools::ffmpegHas("Encoders:"));
    const std::string calls = readFile(bin / "calls");
    EXPECT_GE(calls.size(), 4u);
    EXPECT_LE(calls.size(), 4u * 4);
    const size_t before = calls.size();
    EXPECT_TRUE(Tools::ffmpegHas("libx264"));
    EXPECT_EQ(readFile(bin / "calls").size(), before);

    // Another ffmpeg is asked anew.
    fakeFfmpeg(other.path());
    setenv("VARNOLT_TOOL_DIRS", other.path().c_str(), 1);
    EXPECT_TRUE(Tools::ffmpegHas("aac"));
    EXPECT_EQ(readFile(other / "calls"), "run\n");
}
