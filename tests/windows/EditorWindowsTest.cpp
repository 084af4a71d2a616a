#include "WindowTesting.h"

#include "catalog/Catalog.h"
#include "windows/CropView.h"
#include "windows/CropWindowController.h"
#include "windows/DesktopHooks.h"
#include "windows/Runner.h"
#include "windows/TrimBar.h"
#include "windows/TrimWindowController.h"

#include <QApplication>
#include <QPushButton>

namespace {
// The screen with the window as it is, then with the desktop asking for dark windows.
void keepLightAndDark(const QString& name)
{
    TestDesktop::keep(TestDesktop::screenshot(), name + "-light");
    FakePortal portal(1);
    portal.change(1);
    TestDesktop::pause(500);
    TestDesktop::keep(TestDesktop::screenshot(), name + "-dark");
    portal.change(2);
    TestDesktop::pause(300);
}

// Presses at from, drags in steps to to and releases, with the real pointer.
bool drag(QPoint from, QPoint to) { return TestDesktop::drag({from, (from + to) / 2, to}, 0.1); }

bool clickButton(QWidget* window, const QString& title)
{
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == title) return TestDesktop::click(button->mapToGlobal(button->rect().center()));
    return false;
}

// Waits for the run to end well; on failure the newest toast says how it ended.
::testing::AssertionResult succeeds(int timeoutMs)
{
    if (TestDesktop::waitFor([] { return newest() && newest()->model().state == State::success; }, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << (newest() ? newest()->model().title + " / " + newest()->model().subtitle : "no toast");
}

double seconds(const Path& media)
{
    const CommandResult probe = runProgram("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", media.string()});
    return probe.status == 0 ? std::stod(probe.out) : -1;
}
}

class EditorWindowsTest : public WindowTest {
protected:
    static void SetUpTestSuite() { qputenv("QT_MEDIA_BACKEND", "ffmpeg"); DesktopHooks::install(); }
    // A 10-second clip with a key frame every second (or a longer one, at a frame a second).
    Path clip(int duration = 10)
    {
        const Path out = dir / "clip.mp4";
        const std::string source = duration == 10 ? "testsrc=duration=10:size=320x240:rate=10" : "testsrc=duration=" + std::to_string(duration) + ":size=64x48:rate=1";
        runProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", source, "-g", duration == 10 ? "10" : "60", "-c:v", "libx264", "-preset", "ultrafast",
                              "-pix_fmt", "yuv420p", out.string()});
        return out;
    }
    // Runs the tool on the file and waits for its editor window.
    template <class W>
    W* edit(const std::string& tool, const Path& file)
    {
        Runner::perform(option(Catalog::options({file}, WheelMode::tools), tool), {file}, QPoint(640, 400));
        W* window = nullptr;
        TestDesktop::waitFor([&] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<W*>(widget); found && found->isVisible()) return (window = found) != nullptr;
            return false;
        }, 10000);
        return window;
    }
    TrimWindowController* openTrim(const Path& video) { return edit<TrimWindowController>("Trim", video); }
};

TEST_F(EditorWindowsTest, ACornerDraggedInCropsToThatSize)
{
    REQUIRE_DESKTOP();
    const Path png = dir / "photo.png";
    ASSERT_TRUE(savePicture(png, {400, 300}, QColor(40, 140, 160)));
    CropWindowController* window = edit<CropWindowController>("Crop", png);
    ASSERT_TRUE(window);
    auto* view = window->findChild<CropView*>();
    TestDesktop::pause(300);
    const QPoint corner = view->mapToGlobal(view->cropInView().bottomRight().toPoint() - QPoint(2, 2));
    ASSERT_TRUE(drag(corner, corner - QPoint(90, 60)));
    const Editing::Rect chosen = view->crop();
    EXPECT_EQ(chosen.x, 0);
    EXPECT_LT(chosen.width, 360);
    EXPECT_LT(chosen.height, 270);
    keepLightAndDark("crop-editor");
    ASSERT_TRUE(clickButton(window, "Crop"));
    ASSERT_TRUE(succeeds(20000));
    EXPECT_EQ(QImage(qpath(dir / "photo (cropped).png")).size(), QSize(chosen.width, chosen.height));
}

// Closing the editor is a cancel: no toast at all, no file. Opened again, the range between
// the handles trims out.
TEST_F(EditorWindowsTest, TrimsTheRangeBetweenTheHandlesAndClosingLeavesNothing)
{
    REQUIRE_DESKTOP();
    const Path video = clip();
    TrimWindowController* window = openTrim(video);
    ASSERT_TRUE(window);
    window->close();
    OptionRun::waitForAll();
    TestDesktop::pause(500);
    EXPECT_TRUE(Toast::live().empty());
    EXPECT_EQ(listFolder(dir.path()), (Names{"clip.mp4"}));

    ASSERT_TRUE((window = openTrim(video)));
    auto* bar = window->findChild<TrimBar*>();
    ASSERT_TRUE(TestDesktop::waitFor([&] { return bar->out() > 9; }, 10000)) << "the player never opened the clip";
    TestDesktop::pause(300);
    // The track runs from 10 points in at either end.
    const auto at = [&](double s) { return bar->mapToGlobal(QPoint(int(10 + (bar->width() - 20) * s / 10), bar->height() / 2)); };
    ASSERT_TRUE(drag(at(0), at(2)));
    ASSERT_TRUE(drag(at(10), at(5)));
    EXPECT_NEAR(bar->in(), 2, 0.1);
    EXPECT_NEAR(bar->out(), 5, 0.1);
    keepLightAndDark("trim-editor");
    ASSERT_TRUE(clickButton(window, "Trim"));
    ASSERT_TRUE(succeeds(30000));
    // A stream copy can only start at a key frame, and the clip has one a second.
    EXPECT_NEAR(seconds(dir / "clip (trimmed).mp4"), 3, 0.6);
}

// A four-hour video opens at once (nothing is decoded ahead) and its last hour trims out.
TEST_F(EditorWindowsTest, AFourHourVideoOpensAndTrims)
{
    REQUIRE_DESKTOP();
    TrimWindowController* window = openTrim(clip(4 * 3600));
    ASSERT_TRUE(window);
    auto* bar = window->findChild<TrimBar*>();
    ASSERT_TRUE(TestDesktop::waitFor([&] { return bar->out() > 14000; }, 10000)) << "the player never opened the video";
    TestDesktop::pause(300);
    const QPoint start = bar->mapToGlobal(QPoint(10, bar->height() / 2));
    ASSERT_TRUE(drag(start, start + QPoint(int((bar->width() - 20) * 0.75), 0)));
    ASSERT_TRUE(clickButton(window, "Trim"));
    ASSERT_TRUE(succeeds(60000));
    // One pixel of the bar is about half a minute here.
    EXPECT_NEAR(seconds(dir / "clip (trimmed).mp4"), 3600, 90);
}
