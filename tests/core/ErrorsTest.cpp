#include "TestSupport.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/Shell.h"

#include <sys/stat.h>

using namespace TestSupport;
namespace fs = std::filesystem;

// System failures reach people as sentences that say what stood in the way.
TEST(Errors, FailedStartsRenamesAndRefusalsReadAsSentences)
{
    TempDir dir;
    writeFile(dir / "tool", "#!/bin/sh\n");
    EXPECT_EQ(errorOf([&] { Shell::run(dir / "tool", {}); }), "Couldn't start tool: " + (dir / "tool").string() + " isn't allowed to run");
    EXPECT_EQ(errorOf([&] { Shell::run("/bin/true", {}, dir / "gone"); }), "Couldn't start true in gone: it no longer exists");

    fs::create_directory(dir / "locked");
    writeFile(dir / "photo.png", "png");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
    {
        const OrdinaryUser nobody;
        EXPECT_EQ(errorOf([&] { Files::rename(dir / "photo.png", dir / "locked/photo.png"); }),
                  "Couldn't move photo.png: the folder is read-only for you");
        EXPECT_EQ(errorOf([&] { Shell::run("/bin/echo", {}, std::nullopt, dir / "locked/out.txt"); }),
                  "Couldn't write out.txt: the folder is read-only for you");
    }

    // /dev/shm is a memory disk of its own on most systems.
    struct stat shm, tmp;
    if (::stat("/dev/shm", &shm) != 0 || ::stat(dir.path().c_str(), &tmp) != 0 || shm.st_dev == tmp.st_dev) GTEST_SKIP() << "no second disk";
    const Path elsewhere = fs::path("/dev/shm") / dir.path().filename();
    writeFile(elsewhere / "clip.mov", "mov");
    const std::string moved = errorOf([&] { Files::rename(elsewhere / "clip.mov", dir / "clip.mov"); });
    fs::remove_all(elsewhere);
    EXPECT_EQ(moved, "Couldn't move clip.mov: the destination is on another disk");
}

TEST(Errors, OneMessageForEveryKindOfFailure)
{
    const auto message = [](auto error) { return Errors::userMessage(std::make_exception_ptr(error)); };
    EXPECT_EQ(message(KError("The file is damaged")), "The file is damaged");
    EXPECT_EQ(message(fs::filesystem_error("cannot copy", "/a/song.mp3", std::make_error_code(std::errc::no_space_on_device))),
              "Couldn't use song.mp3: the disk is full");
    EXPECT_EQ(message(std::system_error(std::make_error_code(std::errc::too_many_files_open))),
              "The operation couldn't be completed: too many files are open — close some programs and try again");
    EXPECT_EQ(message(std::bad_alloc()), "There isn't enough memory to finish this");
    EXPECT_TRUE(Errors::isCancel(std::make_exception_ptr(UserCancelled())));
    EXPECT_FALSE(Errors::isCancel(std::make_exception_ptr(KError("x"))));
}
