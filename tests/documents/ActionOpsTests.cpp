#include "TestSupport.h"

#include "documents/ActionOps.h"

#include <sys/stat.h>

#include <cstdlib>
#include <unistd.h>

using namespace TestSupport;
namespace fs = std::filesystem;

using ActionOpsTest = FreshHomeWithFiles;

// Free names, never overwriting; a file gone meanwhile stops the move with earlier ones moved.
TEST_F(ActionOpsTest, MovesUnderFreeNamesAndStopsAtAVanishedFile)
{
    const Path to = dir / "to";
    fs::create_directory(to);
    writeFile(to / "a.txt", "kept");
    writeFile(to / "notes", "kept");
    fs::create_directory(dir / "photos");
    const Paths moved = ActionOps::moveInto({file("a.txt", "new"), file("notes", "new"), dir / "photos"}, to);
    EXPECT_EQ(moved, (Paths{to / "a 2.txt", to / "notes 2", to / "photos"}));
    EXPECT_EQ(readFile(to / "a.txt"), "kept");
    EXPECT_EQ(readFile(to / "a 2.txt"), "new");
    EXPECT_EQ(listFolder(dir.path()), (Names{"to"}));

    const Path b = file("b.txt");
    EXPECT_EQ(errorOf([&] { ActionOps::moveInto({b, dir / "gone.txt", file("c.txt")}, to); }), "Couldn't move gone.txt: it no longer exists");
    EXPECT_TRUE(fs::exists(to / "b.txt"));
    EXPECT_TRUE(fs::exists(dir / "c.txt"));
    EXPECT_FALSE(fs::exists(to / "gone.txt"));
}

TEST_F(ActionOpsTest, AReadOnlyFolderKeepsTheOriginal)
{
    const Path to = dir / "locked";
    fs::create_directory(to);
    fs::permissions(to, fs::perms::owner_read | fs::perms::owner_exec);
    const Path a = file("a.txt", "data");
    {
        OrdinaryUser user;
        EXPECT_NE(errorOf([&] { ActionOps::moveInto({a}, to); }), "no error");
    }
    fs::permissions(to, fs::perms::owner_all);
    EXPECT_EQ(readFile(a), "data");
    EXPECT_TRUE(listFolder(to).empty());
}

// Another disk: copied, checked, then removed: the file and a folder exist exactly once.
TEST_F(ActionOpsTest, MovesAcrossDisksExactlyOnce)
{
    // /dev/shm is a memory disk of its own on most systems.
    struct stat a {}, b {};
    if (::stat(dir.path().c_str(), &a) != 0 || ::stat("/dev/shm", &b) != 0 || a.st_dev == b.st_dev) GTEST_SKIP() << "no second file system here";
    const Path to = "/dev/shm/varnolt-move-" + dir.path().filename().string();
    fs::create_directory(to);
    fs::create_directories(dir / "album/inner");
    writeFile(dir / "album/inner/p.jpg", std::string(100000, 'p'));
    const Paths moved = ActionOps::moveInto({file("a.txt", "across"), dir / "album"}, to);
    EXPECT_EQ(moved, (Paths{to / "a.txt", to / "album"}));
    EXPECT_EQ(readFile(to / "a.txt"), "across");
    EXPECT_EQ(fs::file_size(to / "album/inner/p.jpg"), 100000u);
    EXPECT_TRUE(listFolder(dir.path()).empty());
    fs::remove_all(to);
}

TEST_F(ActionOpsTest, TerminalAndSharingSayWhatIsMissing)
{
    const Path photo = file("photo.jpg");
    const Path script = dir / "term.sh";
    writeFile(script, "#!/bin/sh\npwd > \"" + (dir / "opened-in").string() + "\"\n");
    fs::permissions(script, fs::perms::owner_all);
    const char* path = std::getenv("PATH");
    const std::string oldPath = path ? path : "";
    setenv("TERMINAL", script.c_str(), 1);
    ActionOps::openTerminal({photo});
    // The shell makes the file before pwd writes into it.
    for (int i = 0; i < 100 && (!fs::exists(dir / "opened-in") || fs::file_size(dir / "opened-in") == 0); ++i) usleep(50000);
    EXPECT_EQ(readFile(dir / "opened-in"), dir.path().string() + "\n");

    // Neither $TERMINAL nor x-terminal-emulator nor kdeconnect-cli can be found.
    setenv("TERMINAL", "no-such-terminal", 1);
    setenv("PATH", dir.path().c_str(), 1);
    EXPECT_EQ(errorOf([&] { ActionOps::openTerminal({photo}); }), "No terminal found — set $TERMINAL to yours, or install one: sudo apt install xterm");
    EXPECT_EQ(errorOf([&] { ActionOps::airDrop({photo}); }), "Sharing isn't available — pair a device with KDE Connect first");
    setenv("PATH", oldPath.c_str(), 1);
    unsetenv("TERMINAL");
}
