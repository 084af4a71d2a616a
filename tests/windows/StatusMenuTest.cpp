#include "MenuTexts.h"
#include "TestSupport.h"

#include "core/Recents.h"
#include "core/Settings.h"
#include "windows/App.h"
#include "windows/StatusMenu.h"

using namespace MenuTexts;
using namespace TestSupport;

class StatusMenuTest : public FreshHome {
protected:
    TempDir dir;
    Paths outputs(int count)
    {
        Paths files;
        for (int i = 1; i <= count; ++i) {
            files.push_back(dir / ("out" + std::to_string(i) + ".png"));
            writeFile(files.back(), "png");
        }
        return files;
    }
};

TEST_F(StatusMenuTest, HintAndToolTipFollowTheTriggerKeys)
{
    StatusMenu status([](const Notice&) {});
    EXPECT_EQ(texts(status.menu()),
              (QStringList{"Drag a file, then tap ⇧ Convert · ⌘ Tools · ⌃ Actions", "-", "Convert a File…",
                           "Undo Last Conversion", "-", "Recent Conversions — none yet", "-", "Quit Varnolt"}));
    EXPECT_EQ(item(status.menu(), "Convert a File…")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(App::toolTip(), "Varnolt — drag a file and tap ⇧");

    Settings::setValue("key.convert", "option");
    Settings::setValue("key.tools", "option");
    Settings::setValue("key.actions", "command");
    emit status.menu()->aboutToShow();
    EXPECT_EQ(status.menu()->actions().front()->text(), "Drag a file, then tap ⌥ Convert · ⌥ Tools · ⌘ Actions");
    EXPECT_EQ(App::toolTip(), "Varnolt — drag a file and tap ⌥");
}

// Up to five recents stand in the menu with an Options submenu; the rest spill into More.
TEST_F(StatusMenuTest, RecentsListFiveAndSpillIntoMore)
{
    const Paths three = outputs(3);
    Recents::add(three);
    StatusMenu status([](const Notice&) {});
    const auto recents = [&](int count) {
        emit status.menu()->aboutToShow();
        const QStringList all = texts(status.menu());
        return all.mid(all.indexOf("Recent Conversions") + 1, count);
    };
    EXPECT_EQ(recents(4), (QStringList{"out1.png", "out2.png", "out3.png", "Options"}));
    EXPECT_EQ(item(status.menu(), "out1.png")->toolTip(), QString::fromStdString("Show in Folder — " + three[0].string()));
    EXPECT_FALSE(item(status.menu(), "out1.png")->icon().isNull());
    EXPECT_EQ(texts(item(status.menu(), "Options")->menu()), QStringList{"Clear Recents"});

    Recents::remove(three);
    Recents::add(outputs(7));
    EXPECT_EQ(recents(7), (QStringList{"out1.png", "out2.png", "out3.png", "out4.png", "out5.png", "More", "-"}));
    EXPECT_EQ(texts(item(status.menu(), "More")->menu()), (QStringList{"out6.png", "out7.png", "-", "Clear Recents"}));
}

TEST_F(StatusMenuTest, ClearRecentsLeavesUndoAloneAndUndoReportsWhatItMoved)
{
    const Paths files = outputs(2);
    Recents::add(files);
    UndoStore::record(files);
    std::vector<Notice> notices;
    StatusMenu status([&](const Notice& notice) { notices.push_back(notice); });
    item(item(status.menu(), "Options")->menu(), "Clear Recents")->trigger();
    emit status.menu()->aboutToShow();
    EXPECT_TRUE(texts(status.menu()).contains("Recent Conversions — none yet"));
    ASSERT_TRUE(item(status.menu(), "Undo Last Conversion")->isEnabled());

    item(status.menu(), "Undo Last Conversion")->trigger();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].title, "Undone");
    EXPECT_EQ(notices[0].subtitle, "Moved 2 files to the Trash");
    EXPECT_FALSE(notices[0].failed);
    EXPECT_FALSE(std::filesystem::exists(files[0]));
    emit status.menu()->aboutToShow();
    EXPECT_FALSE(item(status.menu(), "Undo Last Conversion")->isEnabled());
}
