#include "TestSupport.h"
#include "wheel/WheelView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

using TestSupport::FreshHome;

// Opening takes a quarter second even when ticks are late; closing takes fifteen hundredths and
// calls back once.
TEST(WheelView, OpensAndClosesInTheirTimes)
{
    // A view whose clock only moves when the test says so, in 1/120 s ticks as the timer would.
    double now = 100;
    WheelView view;
    view.resize(380, 380);
    view.setClock([&] { return now; });
    const auto run = [&](double seconds) {
        for (long k = std::lround(seconds * 120); k > 0; --k) { now += 1.0 / 120; view.tick(); }
    };
    view.configure(WheelMode::tools, WheelOptions(3), "a.png", 0, 1);
    view.setAppear(0);
    view.animate();
    run(0.25);
    EXPECT_LT(view.appear(), 1);
    run(0.02);
    EXPECT_EQ(view.appear(), 1);

    // A stalled tick counts for at most 0.05 s.
    view.setAppear(0);
    view.animate();
    now += 1;
    view.tick();
    EXPECT_NEAR(view.appear(), 0.05 / 0.26, 1e-9);

    view.configure(WheelMode::convert, WheelOptions(6), "a.png", 0, 1);
    view.finishAnimations();
    int closed = 0;
    view.setAppearTarget(0);
    view.onClosed = [&] { ++closed; };
    view.animate();
    run(0.14);
    EXPECT_EQ(closed, 0);
    EXPECT_GT(view.appear(), 0);
    run(0.02);
    EXPECT_EQ(std::pair(closed, view.appear()), std::pair(1, 0.0));
    run(0.1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(view.animating());
}

TEST(WheelView, HighlightMovesWrapAroundAndTickOnlyWhenVisible)
{
    WheelView view;
    view.resize(380, 380);
    const auto moved = [&](int by) { view.moveSelection(by); return view.debugHover(); };
    EXPECT_EQ(moved(1), -1);
    view.configure(WheelMode::convert, WheelOptions(4), "", 0, 1);
    EXPECT_EQ(moved(1), 0);
    view.select(std::nullopt);
    EXPECT_EQ(moved(-1), 3);
    EXPECT_EQ(moved(1), 0);
    view.setProperty("debugHover", 9);
    EXPECT_EQ(view.debugHover(), -1);
    // A new page starts without a highlight.
    view.select(1);
    view.configure(WheelMode::convert, WheelOptions(4), "", 0, 1);
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
    const auto click = [&](QPointF at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, view.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &press);
    };

    view.configure(WheelMode::convert, WheelOptions(4), "", 0, 1);
    click(c + QPointF(100, 0));
    EXPECT_TRUE(calls.empty()) << "a drag wheel ignores clicks";

    view.interactive = true;
    click(c + QPointF(100, 0));
    click(c);
    view.configure(WheelMode::convert, WheelOptions(4), "", 0, 2);
    for (QPointF at : {QPointF(0, 30), QPointF(0, 62), QPointF(0, 200)}) click(c + at);
    EXPECT_EQ(calls, (std::vector<std::string>{"drop 1", "cancel", "next", "drop 2", "cancel"}));

    // A drag wheel takes drops on its slices only, and they always copy.
    view.interactive = false;
    view.configure(WheelMode::convert, WheelOptions(4), "", 0, 1);
    calls.clear();
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
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(view.debugHover(), -1);
    EXPECT_EQ(dropAt(c + QPointF(0, 110)), std::make_pair(true, Qt::CopyAction));
    EXPECT_EQ(calls, std::vector<std::string>{"drop 2"});

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
    const std::tuple<QEvent::Type, int, Qt::KeyboardModifiers> keys[] = {
        {QEvent::KeyPress, Qt::Key_Meta, Qt::NoModifier}, {QEvent::KeyPress, Qt::Key_Shift, Qt::MetaModifier},
        {QEvent::KeyRelease, Qt::Key_Shift, Qt::MetaModifier | Qt::ShiftModifier}, {QEvent::KeyRelease, Qt::Key_Meta, Qt::MetaModifier},
        {QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier}, {QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier},
        {QEvent::KeyPress, Qt::Key_Alt, Qt::NoModifier},
    };
    for (const auto& [type, code, before] : keys) {
        QKeyEvent event(type, code, before);
        QApplication::sendEvent(&view, &event);
    }
    EXPECT_EQ(switches, (std::vector<WheelMode>{WheelMode::tools, WheelMode::actions}));

    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(&view, &tab);
    EXPECT_EQ(used, 1);
    EXPECT_TRUE(tab.isAccepted());
}
