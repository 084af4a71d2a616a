#include "TestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

using namespace TestSupport;

class TrayAppTest : public FreshHome {};

// The executable without arguments stays up as a tray application on a real X server.
TEST_F(TrayAppTest, KeepsRunningUntilTerminated)
{
    const QString program = QStandardPaths::findExecutable("Xvfb");
    if (program.isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    // -displayfd lets the server take the first free display and tell us its number.
    QProcess xvfb;  // killed on destruction, whatever the outcome
    xvfb.start(program, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"});
    ASSERT_TRUE(xvfb.waitForStarted());
    while (!xvfb.canReadLine() && xvfb.waitForReadyRead(10000)) {
    }
    const QString display = ":" + QString::fromUtf8(xvfb.readLine()).trimmed();
    ASSERT_NE(display, ":") << "Xvfb did not report its display";

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    app.setProcessEnvironment(env);
    app.start(VARNOLT_EXE, {});
    ASSERT_TRUE(app.waitForStarted());
    EXPECT_FALSE(app.waitForFinished(3000)) << app.readAllStandardError().toStdString();
    app.terminate();
    EXPECT_TRUE(app.waitForFinished());
    xvfb.terminate();
    xvfb.waitForFinished();
}

TEST(TrayAppWithoutDisplay, SaysWhatItNeeds)
{
    const CommandResult result = runVarnolt({}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("needs a display"), std::string::npos);
}
