// The zero-click path end to end, under the test's own X server: real drags from another
// program, trigger keys and hotkeys typed through xdotool, drops on the wheel.
#include "WindowTesting.h"

#include "platform/GlobalHotkey.h"
#include "wheel/Trace.h"
#include "wheel/WheelGeometry.h"
#include "windows/App.h"
#include "windows/WheelPanel.h"

#include <QClipboard>

#include <cmath>
#include <numbers>

namespace {
bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
}

class DragWheelTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        REQUIRE_DESKTOP();
        Settings::setValue("didShowWelcome", true);
        ASSERT_TRUE(savePicture(photo = dir / "photo.png", {64, 48}));
        original = readFile(photo);
        app = std::make_unique<App>(QStringList{}, true);
    }
    void TearDown() override
    {
        xdo({"mouseup", "1"});
        source.reset();
        app.reset();
        WindowTest::TearDown();
    }

    void xdo(const QStringList& arguments) { ASSERT_TRUE(TestDesktop::xdotool(arguments)) << arguments.join(" ").toStdString(); }

    // Starts the other program with these arguments and waits for its window.
    void startSource(const QStringList& arguments)
    {
        source = TestDesktop::launch(DRAG_SOURCE, arguments);
        ASSERT_TRUE(TestDesktop::waitFor([&] { return source->readAllStandardOutput().contains("ready"); })) << "no drag source";
    }
    // Presses the mouse in the source's window and drags out to (600, 400).
    void drag() { xdo({"mousemove", "100", "80", "mousedown", "1", "mousemove", "110", "86", "sleep", "0.05", "mousemove", "130", "100", "sleep", "0.05", "mousemove", "600", "400", "sleep", "0.2"}); }
    // A key held long enough for the 120 Hz poll to see it.
    void tap(const QString& key) { xdo({"keydown", key, "sleep", "0.08", "keyup", key, "sleep", "0.08"}); }
    WheelController& wheel() { return app->wheel(); }
    bool wheelOpens() { return TestDesktop::waitFor([&] { return wheel().visible(); }, 3000); }
    std::string trace() { return readFile(Trace::logFile()); }

    // The point on screen in the middle of slice i of the wheel on screen.
    QPoint slicePoint(int i)
    {
        const WheelPanel& panel = *wheel().panel();
        const QPointF centre(WheelPanel::side / 2.0, WheelPanel::side / 2.0);
        const int n = static_cast<int>(wheel().options().size());
        for (int step = 0; step < 360; ++step) {
            const QPointF p = WheelGeometry::polar(centre, (WheelGeometry::innerR + WheelGeometry::outerR) / 2, step * std::numbers::pi / 180);
            if (WheelGeometry::hitTest(p, centre, n) == i) return panel.mapToGlobal(p.toPoint());
        }
        return {};
    }
    void moveTo(QPoint p)
    {
        xdo({"mousemove", QString::number(p.x() - 3), QString::number(p.y()), "sleep", "0.05", "mousemove", QString::number(p.x()), QString::number(p.y()), "sleep", "0.1"});
    }
    std::string sourceSaid()
    {
        TestDesktop::waitFor([&] { return source->canReadLine(); }, 3000);
        return source->readAll().trimmed().toStdString();
    }

    Path photo;
    std::string original;
    std::unique_ptr<App> app;
    TestDesktop::Program source;
};

// Shift opens the convert wheel under the pointer, Shift again turns the page (or says
// why not), Control switches to the actions; a drop on a slice runs it on a copy of the
// drag, even with Shift held (the source then proposes a move), and the original stays.
TEST_F(DragWheelTest, TriggerKeysOpenTheWheelAndADropRunsTheSlice)
{
    startSource({qpath(photo)});
    drag();
    tap("shift");
    ASSERT_TRUE(wheelOpens()) << trace();
    EXPECT_EQ(wheel().mode(), WheelMode::convert);
    EXPECT_EQ(wheel().panel()->geometry().center() + QPoint(1, 1), QPoint(600, 400));
    const QImage screen = TestDesktop::screenshot();
    TestDesktop::keep(screen, "drag-wheel");
    EXPECT_NE(screen.pixelColor(slicePoint(0)), screen.pixelColor(20, 780)) << "nothing drawn under the pointer";

    tap("shift");
    TestDesktop::pause(100);
    EXPECT_TRUE(contains(trace(), "same key again → next page"));
    EXPECT_TRUE(contains(trace(), wheel().pageCount() > 1 ? "showing page 2/" : "next page ignored (visible true, pages 1)")) << trace();
    tap("ctrl");
    EXPECT_TRUE(TestDesktop::waitFor([&] { return wheel().mode() == WheelMode::actions; }));
    tap("shift");
    ASSERT_TRUE(TestDesktop::waitFor([&] { return wheel().mode() == WheelMode::convert; }));

    // Shift held while dropping: the source proposes a move (and turns the page).
    xdo({"keydown", "shift"});
    TestDesktop::pause(150);
    const auto titles = TestSupport::titles(wheel().options());
    const auto jpg = std::find(titles.begin(), titles.end(), "JPG");
    const int slice = jpg == titles.end() ? 0 : static_cast<int>(jpg - titles.begin());
    moveTo(slicePoint(slice));
    xdo({"mouseup", "1", "sleep", "0.05", "keyup", "shift"});
    EXPECT_EQ(sourceSaid(), "copy");
    EXPECT_TRUE(TestDesktop::waitFor([&] { return listFolder(dir.path()).size() == 2; }, 20000)) << titles.at(slice) << "\n" << trace();
    EXPECT_EQ(readFile(photo), original);
    EXPECT_TRUE(TestDesktop::waitFor([&] { return !wheel().panel()->isVisible(); }));
}

// Keys held as the drag starts do not count until pressed afresh; releasing over the hub runs
// nothing, and the wheel goes 0.4 s later; a drag of text opens nothing.
TEST_F(DragWheelTest, OnlyFreshPressesOfFileDragsOpenTheWheelAndTheHubRunsNothing)
{
    startSource({qpath(photo)});
    xdo({"keydown", "shift"});
    drag();
    TestDesktop::pause(200);
    EXPECT_FALSE(wheel().visible()) << trace();
    xdo({"keyup", "shift", "sleep", "0.1"});
    tap("shift");
    ASSERT_TRUE(wheelOpens()) << trace();
    moveTo(wheel().panel()->geometry().center());
    xdo({"mouseup", "1"});
    ASSERT_TRUE(TestDesktop::waitFor([&] { return !wheel().panel()->isVisible(); }, 2000));
    TestDesktop::pause(300);
    EXPECT_EQ(listFolder(dir.path()), Names{"photo.png"});
    sourceSaid();

    source.reset();
    startSource({"--text"});
    drag();
    tap("shift");
    TestDesktop::pause(300);
    EXPECT_FALSE(wheel().panel()->isVisible());
    EXPECT_TRUE(contains(trace(), "no files in this drag")) << trace();
}

// The hotkey in a file manager opens the keyboard-driven wheel for its selection and gives
// the user's clipboard back; arrows, Tab, Return and Esc act on it.
TEST_F(DragWheelTest, HotkeyOpensTheWheelForTheFileManagersSelection)
{
    ASSERT_TRUE(app->hotkey() && app->hotkey()->active());
    QGuiApplication::clipboard()->setText("the user's words");
    startSource({"-name", "thunar", qpath(photo)});
    xdo({"mousemove", "100", "80", "click", "1"});
    xdo({"key", "ctrl+alt+space"});
    ASSERT_TRUE(wheelOpens());
    EXPECT_TRUE(wheel().interactive());
    EXPECT_EQ(wheel().panel()->view().hovered(), 0);
    EXPECT_TRUE(TestDesktop::waitFor([] { return QGuiApplication::clipboard()->text() == "the user's words"; }));
    ASSERT_TRUE(TestDesktop::waitFor([&] { return wheel().panel()->isActiveWindow(); })) << "the wheel has no keyboard";

    const struct { const char* key; int hovered; } keys[] = {{"Right", 1}, {"Down", 2}, {"Left", 1}, {"Up", 0}};
    for (const auto& k : keys) {
        xdo({"key", k.key});
        EXPECT_TRUE(TestDesktop::waitFor([&] { return wheel().panel()->view().hovered() == k.hovered; })) << k.key;
    }
    xdo({"key", "Tab"});
    EXPECT_TRUE(TestDesktop::waitFor([&] { return wheel().panel()->view().hovered() == 0; }));
    xdo({"key", "Escape"});
    EXPECT_TRUE(TestDesktop::waitFor([&] { return !wheel().panel()->isVisible(); }));

    // Another file manager window would answer as well: the command line's --wheel opens
    // the same wheel, and Return runs the lit slice.
    app->handle({"--wheel", qpath(photo)});
    ASSERT_TRUE(wheelOpens());
    TestDesktop::pause(300);
    const std::string first = wheel().options().at(0).title;
    xdo({"key", "Return"});
    EXPECT_TRUE(TestDesktop::waitFor([&] { return listFolder(dir.path()).size() == 2; }, 20000)) << first;
    EXPECT_EQ(readFile(photo), original);
}
