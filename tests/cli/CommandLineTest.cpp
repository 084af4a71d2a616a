#include "TestSupport.h"

#include "core/Recents.h"

#include <set>

using namespace TestSupport;

class CommandLineTest : public FreshHome {};

TEST_F(CommandLineTest, ListPrintsThePagesUnderTheConfiguredTriggerKeys)
{
    const CommandResult r = runVarnolt({"--list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "⇧ Convert: \n⌘ Tools: \n⌃ Actions: \n");
    writeFile(home() / ".config/Varnolt/Varnolt.conf", "[General]\nkey.convert=option\nkey.actions=nonsense\n");
    EXPECT_EQ(runVarnolt({"--list"}).out, "⌥ Convert: \n⌘ Tools: \n⌃ Actions: \n");
}

// Wrong words print the usage, an option that is not there lists those that are.
TEST_F(CommandLineTest, UsageErrorsAndUnknownOptionsExitWithTwo)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--run", "Convert", "PNG", "x"}, {"--run", "tools"}, {"--run", "convert", "png"}, {"--render-wheel", "convert"}}) {
        const CommandResult r = runVarnolt(args);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_EQ(r.out, "usage: Varnolt --run <convert|tools|actions> <option> <files…>\n") << args[1];
    }
    const CommandResult r = runVarnolt({"--run", "convert", "WEBP", "a.png", "b.mov"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.starts_with("No option 'WEBP'. Available: ")) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
}

TEST_F(CommandLineTest, UndoMovesTheRecordedBatch)
{
    // The exit status, then what is printed.
    const auto undo = [] { const CommandResult r = runVarnolt({"--undo"}); return std::to_string(r.status) + " " + r.out; };
    EXPECT_EQ(undo(), "0 Nothing to undo\n");

    TempDir dir;
    writeFile(dir / "one.png", "1");
    writeFile(dir / "two.png", "2");
    UndoStore::record({dir / "one.png", dir / "two.png"});
    EXPECT_EQ(undo(), "0 Moved 2 files to the Trash\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "one.png"));
    EXPECT_EQ(undo(), "0 Nothing to undo\n");
}

TEST_F(CommandLineTest, RunPrintsOutputsOfRelativePaths)
{
    TempDir dir;
    writeFile(dir / "sub/a.txt", "a");
    writeFile(dir / "b.txt", "b");
    const CommandResult r = runVarnolt({"--run", "tools", "ZIP", "sub/../b.txt", "./sub/a.txt"}, {}, dir.path());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, (dir / "Archive.zip").string() + "\n");
}

// The engines' libraries take a tenth of a second and tens of megabytes to map: a command
// maps only those its option uses.
TEST_F(CommandLineTest, ARunMapsOnlyTheEnginesItUses)
{
    TempDir dir;
    writeFile(dir / "t.csv", "a,b\n1,2\n");
    writeFile(dir / "p.ppm", std::string("P6 2 1 255\n") + std::string(6, '\x60'));
    const auto mapped = [&](const std::string& option, const std::string& file) {
        const CommandResult r = runVarnolt({"--run", "convert", option, file}, {{"LD_DEBUG", "files"}}, dir.path());
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        std::set<std::string> engines;
        for (const char* library : {"libvips.so", "libavcodec.so", "libpoppler.so", "libtesseract.so", "libopencv_core.so"}) {
            if (r.err.find(std::string("file=") + library) != std::string::npos) engines.insert(library);
        }
        return engines;
    };
    EXPECT_EQ(mapped("XLSX", "t.csv"), std::set<std::string>{});
    // libvips maps its own loaders' libraries (Poppler's among them) when it starts.
    const std::set<std::string> image = mapped("PNG", "p.ppm");
    EXPECT_TRUE(image.count("libvips.so"));
    EXPECT_FALSE(image.count("libavcodec.so") || image.count("libtesseract.so") || image.count("libopencv_core.so"));
}

// Large buffers come in huge pages from one arena per processor; with the C library's
// allocator a photo batch runs a fifth slower.
TEST_F(CommandLineTest, TheProgramAllocatesInHugePages)
{
    TempDir dir;
    writeFile(dir / "t.csv", "a\n");
    const CommandResult r = runVarnolt({"--run", "convert", "TSV", "t.csv"}, {{"MALLOC_CONF", "stats_print:true"}}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("opt.thp: \"always\""), std::string::npos) << r.err.substr(0, 2000);
    EXPECT_NE(r.err.find("opt.percpu_arena: \"percpu\""), std::string::npos);
}
