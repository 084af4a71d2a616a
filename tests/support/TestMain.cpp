#include "TestSupport.h"
#include "core/Jobs.h"
#include "core/Output.h"
#ifdef VARNOLT_TEST_DESKTOP
#include "TestDesktop.h"
#endif

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Tests never see the user's own settings, Trash or Downloads: they run in a throw-away
// home folder. Windows are drawn off screen, or, in programs built with VARNOLT_TEST_DESKTOP,
// on an X server and session bus of the program's own.
int main(int argc, char** argv)
{
    const Path home = Output::tempDirectory();
    TestSupport::useHome(home);
    setenv("XDG_RUNTIME_DIR", (home / ".run").c_str(), 1);
    std::filesystem::create_directories(home / ".run");
    std::filesystem::permissions(home / ".run", std::filesystem::perms::owner_all);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Jobs run in the real program, not in the test program.
    Jobs::setProgram(VARNOLT_EXE);
#ifdef VARNOLT_TEST_DESKTOP
    TestDesktop::start();
#endif
    int status = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
#ifdef VARNOLT_TEST_DESKTOP
    TestDesktop::stop();
#endif
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return status;
}
