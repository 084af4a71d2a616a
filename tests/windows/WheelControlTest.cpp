#include "WindowTesting.h"

#include "platform/GlobalHotkey.h"
#include "platform/X11Connection.h"
#include "windows/DragMonitor.h"
#include "windows/WheelPanel.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

class TriggerKeysTest : public FreshHome {};

// Only a fresh press of exactly one page's key opens a wheel.
TEST_F(TriggerKeysTest, AFreshPressOfOneTriggerKeyOpensItsPage)
{
    const Qt::KeyboardModifiers none, shift = Qt::ShiftModifier, control = Qt::ControlModifier, alt = Qt::AltModifier,
                                      super = Qt::MetaModifier;
    const struct { Qt::KeyboardModifiers before, now; std::optional<WheelMode> opens; } cases[] = {
        {none, shift, WheelMode::convert},
        {none, super, WheelMode::tools},
        {none, control, WheelMode::actions},
        {shift, shift | super, std::nullopt},    // a key added to one still held
        {shift | super, super, std::nullopt},    // what is left after letting go of one
        {none, shift | control, std::nullopt},   // two at once match no page
        {none, alt, std::nullopt},               // assigned to no page
        {shift, none, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(DragMonitor::pressedMode(c.before, c.now), c.opens) << int(c.before) << " → " << int(c.now);

    Settings::setValue("key.tools", "option");
    EXPECT_EQ(DragMonitor::pressedMode(none, alt), WheelMode::tools);
    EXPECT_EQ(DragMonitor::pressedMode(none, super), std::nullopt);
}

// The wheel's centre goes under the pointer, but never past the work area's edges.
TEST(WheelPanelTest, StaysInsideTheWorkArea)
{
    const QRect area(0, 28, 1280, 772);
    const struct { QPoint mouse, origin; } cases[] = {
        {{600, 400}, {410, 210}},
        {{5, 5}, {0, 28}},
        {{1279, 799}, {900, 420}},
        {{100, 700}, {0, 420}},
    };
    for (const auto& c : cases) EXPECT_EQ(WheelPanel::origin(c.mouse, area), c.origin) << c.mouse.x() << "," << c.mouse.y();
    EXPECT_EQ(WheelPanel::origin({5, 5}, std::nullopt), QPoint(-185, -185));
}

// Changing the choice replaces the grab; a combination another program holds stays
// inactive without an error.
TEST(GlobalHotkeyTest, GrabsTheChosenKeysUnlessTheyAreTaken)
{
    REQUIRE_DESKTOP();
    X11Connection ours, other;
    GlobalHotkey hotkey(ours);
    hotkey.apply(HotkeyChoice::ctrlOptSpace);
    EXPECT_TRUE(hotkey.active());
    hotkey.apply(HotkeyChoice::ctrlOptSpace);
    EXPECT_TRUE(hotkey.active());

    // Held by us, the keys cannot be grabbed by another program; switching frees them.
    Display* display = other.display();
    const auto grabSpace = [&] {
        XGrabKey(display, XKeysymToKeycode(display, XK_space), ControlMask | other.altMask(), other.root(), False, GrabModeAsync, GrabModeAsync);
        return other.sync();
    };
    EXPECT_NE(grabSpace(), 0);
    hotkey.apply(HotkeyChoice::ctrlOptK);
    EXPECT_TRUE(hotkey.active());
    EXPECT_EQ(grabSpace(), 0);

    hotkey.apply(HotkeyChoice::off);
    EXPECT_FALSE(hotkey.active());
    hotkey.apply(HotkeyChoice::ctrlOptSpace);
    EXPECT_FALSE(hotkey.active()) << "taken by the other program";
    EXPECT_EQ(hotkey.registered(), HotkeyChoice::ctrlOptSpace);
}
