#include "TestSupport.h"
#include "wheel/WheelView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

using TestSupport::FreshHome;

namespace {
WheelOptions sample(int n)
{
    WheelOptions options(n);
    for (int i = 0; i < n; ++i) options[i].title = "Option " + std::to_string(i);
    return options;
}

// A view of 380 points whose clock only moves when the test says so.
struct ViewOnClock {
    WheelView view;
    double now = 100;

    ViewOnClock()
    {
        view.resize(380, 380);
        view.setClock([this] { return now; });
    }
    // Advances time in 1/120 s ticks, as the timer would.
    void run(double seconds)
    {
        const int ticks = static_cast<int>(std::lround(seconds * 120));
        for (int k = 0; k < ticks; ++k) {
            now += 1.0 / 120;
            view.tick();
        }
    }
};

void click(WheelView& view, QPointF at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, view.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
}

void key(WheelView& view, QEvent::Type type, int code, Qt::KeyboardModifiers before)
{
    QKeyEvent event(type, code, before);
    QApplication::sendEvent(&view, &event);
}
}

TEST(WheelView, ClosingTakesFifteenHundredthsAndCallsBackOnce)
{
    ViewOnClock clock;
    clock.view.configure(WheelMode::convert, sample(6), "a.png", 0, 1);
    clock.view.finishAnimations();
    int closed = 0;
    clock.view.setAppearTarget(0);
    clock.view.onClosed = [&] { ++closed; };
    clock.view.animate();
    clock.run(0.14);
    EXPECT_EQ(closed, 0);
    EXPECT_GT(clock.view.appear(), 0);
    clock.run(0.02);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(clock.view.appear(), 0);
    clock.run(0.1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(clock.view.animating());
}

TEST(WheelView, OpeningTakesAQuarterSecondEvenWhenTicksAreLate)
{
    ViewOnClock clock;
    clock.view.configure(WheelMode::tools, sample(3), "a.png", 0, 1);
    clock.view.setAppear(0);
    clock.view.animate();
    clock.run(0.25);
    EXPECT_LT(clock.view.appear(), 1);
    clock.run(0.02);
    EXPECT_EQ(clock.view.appear(), 1);

    // A stalled tick counts for at most 0.05 s.
    clock.view.setAppear(0);
    clock.view.animate();
    clock.now += 1;
    clock.view.tick();
    EXPECT_NEAR(clock.view.appear(), 0.05 / 0.26, 1e-9);
}

TEST(WheelView, HighlightMovesWrapAroundAndTickOnlyWhenVisible)
{
    WheelView view;
    view.resize(380, 380);
    view.moveSelection(1);
    EXPECT_EQ(view.debugHover(), -1);
    view.configure(WheelMode::convert, sample(4), "", 0, 1);
    view.moveSelection(1);
    EXPECT_EQ(view.debugHover(), 0);
    view.select(std::nullopt);
    view.moveSelection(-1);
    EXPECT_EQ(view.debugHover(), 3);
    view.moveSelection(1);
    EXPECT_EQ(view.debugHover(), 0);
    view.setProperty("debugHover", 9);
    EXPECT_EQ(view.debugHover(), -1);
    // A new page starts without a highlight.
    view.select(1);
    view.configure(WheelMode::convert, sample(4), "", 0, 1);
    EXPECT_EQ(view.debugHover(), -1);

    // The highlight ticks only when it visibly moves to another slice.
    int ticks = 0;
    view.onHighlight = [&] { ++ticks; };
    view.select(1);
    EXPECT_EQ(ticks, 0);
    view.show();
    view.select(2);
    view.select(2);
    view.select(std::nullopt);
    view.select(0);
    EXPECT_EQ(ticks, 2);
}

TEST(WheelView, ClicksAndDropsPickCancelOrTurnThePage)
{
    WheelView view;
    view.resize(380, 380);
    std::vector<std::string> calls;
    view.onDrop = [&](int i) { calls.push_back("drop " + std::to_string(i)); };
    view.onCancel = [&] { calls.push_back("cancel"); };
    view.onNextPage = [&] { calls.push_back("next"); };
    const QPointF c(190, 190);

    view.configure(WheelMode::convert, sample(4), "", 0, 1);
    click(view, c + QPointF(100, 0));
    EXPECT_TRUE(calls.empty()) << "a drag wheel ignores clicks";

    view.interactive = true;
    click(view, c + QPointF(100, 0));
    click(view, c);
    view.configure(WheelMode::convert, sample(4), "", 0, 2);
    click(view, c + QPointF(0, 30));
    click(view, c + QPointF(0, 62));
    click(view, c + QPointF(0, 200));
    EXPECT_EQ(calls, (std::vector<std::string>{"drop 1", "cancel", "next", "drop 2", "cancel"}));

    // A drag wheel takes drops on its slices only, and they always copy.
    view.interactive = false;
    view.configure(WheelMode::convert, sample(4), "", 0, 1);
    std::vector<int> drops;
    view.onDrop = [&](int i) { drops.push_back(i); };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a.png")});
    const auto dropAt = [&](QPointF at) {
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(&view, &drop);
        QApplication::processEvents();
        return std::make_pair(drop.isAccepted(), drop.dropAction());
    };

    EXPECT_FALSE(dropAt(c).first);
    EXPECT_TRUE(drops.empty());
    EXPECT_EQ(view.debugHover(), -1);
    EXPECT_EQ(dropAt(c + QPointF(0, 110)), std::make_pair(true, Qt::CopyAction));
    EXPECT_EQ(drops, std::vector<int>{2});

    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent enter(QPoint(190, 300), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(FreshHome, WheelViewSwitchesOnAFreshlyPressedTriggerKey)
{
    WheelView view;
    std::vector<WheelMode> switches;
    view.onSwitch = [&](WheelMode mode) { switches.push_back(mode); };
    int used = 0;
    view.onKey = [&](int code) { return code == Qt::Key_Tab && ++used; };

    // Key events carry the modifiers held before the key went down or up.
    key(view, QEvent::KeyPress, Qt::Key_Meta, Qt::NoModifier);
    key(view, QEvent::KeyPress, Qt::Key_Shift, Qt::MetaModifier);
    key(view, QEvent::KeyRelease, Qt::Key_Shift, Qt::MetaModifier | Qt::ShiftModifier);
    key(view, QEvent::KeyRelease, Qt::Key_Meta, Qt::MetaModifier);
    key(view, QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
    key(view, QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
    key(view, QEvent::KeyPress, Qt::Key_Alt, Qt::NoModifier);
    EXPECT_EQ(switches, (std::vector<WheelMode>{WheelMode::tools, WheelMode::actions}));

    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(&view, &tab);
    EXPECT_EQ(used, 1);
    EXPECT_TRUE(tab.isAccepted());
}
