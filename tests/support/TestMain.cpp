#include "core/Output.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Tests never see the user's own settings, Trash or Downloads: they run in a throw-away
// home folder, and windows are drawn off screen.
int main(int argc, char** argv)
{
    const Path home = Output::tempDirectory();
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_STATE_HOME", (home / ".local/state").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int status = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return status;
}
