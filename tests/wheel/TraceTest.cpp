#include "TestSupport.h"
#include "wheel/Trace.h"

using TestSupport::FreshHome;

// Runs first in this program: nothing has started a log yet, so nothing is written.
TEST_F(FreshHome, TraceStartsAtTheFirstDragAndKeepsOnlyTheLatest)
{
    const Path file = home() / ".local/state/Varnolt/wheel.log";
    Trace::log("wheel Convert");
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(Trace::logFile(), file);
    Trace::start();
    Trace::log("drag started, keys held: none");
    Trace::log("hide");
    std::string text = TestSupport::readFile(file);
    EXPECT_NE(text.find("  drag started, keys held: none\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);

    Trace::start();
    Trace::log("wheel Tools");
    text = TestSupport::readFile(file);
    EXPECT_EQ(text.size(), 9 + 2 + 11 + 1) << text;
    EXPECT_EQ(text.substr(9), "  wheel Tools\n");
}

TEST(Trace, LinesAndModifierSymbols)
{
    EXPECT_EQ(Trace::line(2.5, "hide"), "    2.500  hide\n");
    EXPECT_EQ(Trace::line(1234.56789, "x"), " 1234.568  x\n");
    EXPECT_EQ(Trace::describe(Qt::MetaModifier | Qt::ControlModifier), "⌃⌘");
    EXPECT_EQ(Trace::describe(Qt::ShiftModifier | Qt::AltModifier | Qt::KeypadModifier), "⌥⇧");
    EXPECT_EQ(Trace::describe(Qt::NoModifier), "none");
}
