// The welcome window on the test's own X server: its texts follow the settings, and its
// sample picture is a real file that another program can take by drag and drop.
#include "WindowTesting.h"

#include "windows/DraggableFileView.h"
#include "windows/SampleFile.h"
#include "windows/WelcomeWindow.h"

#include <QTest>

class WelcomeWindowTest : public FreshHome {};

TEST_F(WelcomeWindowTest, TextsFollowTheStoredKeys)
{
    const struct {
        const char *convert, *tools, *actions, *hotkey;  // nothing stored when null
        const char *keys, *tryIt, *selection;
    } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, "⇧ Convert · ⌘ Tools · ⌃ Actions", "Try it: drag this file and tap Shift",
         "Or select files in your file manager and press ⌃⌥Space."},
        {"option", "option", "command", "off", "⌥ Convert · ⌥ Tools · ⌘ Actions", "Try it: drag this file and tap Alt",
         "Or select files in your file manager and press Off."},
        {"alt", "hyper", "control", "ctrlOptK", "⇧ Convert · ⌘ Tools · ⌃ Actions", "Try it: drag this file and tap Shift",
         "Or select files in your file manager and press ⌃⌥K."},
    };
    for (const auto& c : cases) {
        if (c.convert) {
            Settings::setValue("key.convert", c.convert);
            Settings::setValue("key.tools", c.tools);
            Settings::setValue("key.actions", c.actions);
            Settings::setValue("hotkey", c.hotkey);
        }
        EXPECT_EQ(WelcomeWindow::keysLine(), c.keys);
        EXPECT_EQ(WelcomeWindow::tryLine(), c.tryIt);
        EXPECT_EQ(WelcomeWindow::selectionLine(), c.selection);
    }
}

TEST_F(WelcomeWindowTest, NoSampleWhenItCannotBeWritten)
{
    writeFile(home() / ".local" / "share" / "Varnolt", "not a folder");
    EXPECT_FALSE(SampleFile::url());
    WelcomeWindow window;
    EXPECT_EQ(window.sample(), nullptr);
}

// The sample, dragged out of the welcome window into another program, hands it the file.
TEST_F(WelcomeWindowTest, SampleDragsIntoAnotherProgram)
{
    REQUIRE_DESKTOP();
    WelcomeWindow window;
    window.move(40, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(window.sample());
    const Path sample = home() / ".local/share/Varnolt/Sample/Sample Photo.png";
    ASSERT_EQ(window.sample()->url(), sample);
    EXPECT_EQ(QImage(qpath(sample)).size(), QSize(1200, 800));
    TestDesktop::keep(window.grab().toImage(), "welcome");

    TestDesktop::Program target = TestDesktop::launch(DROP_TARGET, {});
    ASSERT_TRUE(TestDesktop::waitFor([&] { return target->readAllStandardOutput().contains("ready"); })) << "no drop target";
    const QPoint from = window.sample()->mapToGlobal(window.sample()->rect().center());
    ASSERT_TRUE(TestDesktop::drag({from, from + QPoint(20, 10), {780, 160}, {800, 180}}, 0.2));
    QByteArray dropped;
    EXPECT_TRUE(TestDesktop::waitFor([&] {
        dropped += target->readAllStandardOutput();
        return dropped.contains('\n');
    }));
    EXPECT_EQ(dropped.split('\n').first().toStdString(), sample.string());
    EXPECT_TRUE(std::filesystem::exists(sample)) << "a copy, never a move";
}
