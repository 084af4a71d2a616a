#include "TestSupport.h"

#include "core/Recents.h"
#include "core/Settings.h"
#include "windows/App.h"
#include "windows/StatusMenu.h"

#include <QAction>

using namespace TestSupport;

namespace {
// The menu as its texts, "-" for a separator.
QStringList texts(const QMenu* menu)
{
    QStringList list;
    for (const QAction* action : menu->actions()) list << (action->isSeparator() ? "-" : action->text());
    return list;
}

QAction* item(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}
}

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
    EXPECT_FALSE(status.menu()->actions().front()->isEnabled());
    EXPECT_EQ(item(status.menu(), "Convert a File…")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(item(status.menu(), "Quit Varnolt")->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_EQ(App::toolTip(), "Varnolt — drag a file and tap ⇧");

    Settings::setValue("key.convert", "option");
    Settings::setValue("key.tools", "option");
    Settings::setValue("key.actions", "command");
    emit status.menu()->aboutToShow();
    EXPECT_EQ(status.menu()->actions().front()->text(), "Drag a file, then tap ⌥ Convert · ⌥ Tools · ⌘ Actions");
    EXPECT_EQ(App::toolTip(), "Varnolt — drag a file and tap ⌥");
}

TEST_F(StatusMenuTest, FewRecentsGetAnOptionsSubmenu)
{
    const Paths files = outputs(3);
    Recents::add(files);
    StatusMenu status([](const Notice&) {});
    const QStringList all = texts(status.menu());
    const auto header = all.indexOf("Recent Conversions");
    ASSERT_GE(header, 0);
    EXPECT_EQ(all.mid(header + 1, 4), (QStringList{"out1.png", "out2.png", "out3.png", "Options"}));
    EXPECT_EQ(item(status.menu(), "out1.png")->toolTip(), QString::fromStdString("Show in Folder — " + files[0].string()));
    EXPECT_FALSE(item(status.menu(), "out1.png")->icon().isNull());
    EXPECT_EQ(texts(item(status.menu(), "Options")->menu()), QStringList{"Clear Recents"});
}

TEST_F(StatusMenuTest, MoreThanFiveRecentsSpillIntoMore)
{
    Recents::add(outputs(7));
    StatusMenu status([](const Notice&) {});
    const QStringList all = texts(status.menu());
    const auto header = all.indexOf("Recent Conversions");
    ASSERT_GE(header, 0);
    EXPECT_EQ(all.mid(header + 1, 7),
              (QStringList{"out1.png", "out2.png", "out3.png", "out4.png", "out5.png", "More", "-"}));
    EXPECT_FALSE(all.contains("Options"));
    EXPECT_EQ(texts(item(status.menu(), "More")->menu()), (QStringList{"out6.png", "out7.png", "-", "Clear Recents"}));
}

TEST_F(StatusMenuTest, ClearRecentsLeavesUndoAlone)
{
    const Paths files = outputs(2);
    Recents::add(files);
    UndoStore::record(files);
    StatusMenu status([](const Notice&) {});
    EXPECT_TRUE(item(status.menu(), "Undo Last Conversion")->isEnabled());

    item(item(status.menu(), "Options")->menu(), "Clear Recents")->trigger();
    emit status.menu()->aboutToShow();
    EXPECT_TRUE(texts(status.menu()).contains("Recent Conversions — none yet"));
    EXPECT_TRUE(item(status.menu(), "Undo Last Conversion")->isEnabled());

    UndoStore::record({});
    Recents::add(files);
    emit status.menu()->aboutToShow();
    item(item(status.menu(), "Options")->menu(), "Clear Recents")->trigger();
    emit status.menu()->aboutToShow();
    EXPECT_FALSE(item(status.menu(), "Undo Last Conversion")->isEnabled());
}

TEST_F(StatusMenuTest, UndoReportsWhatItMoved)
{
    const Paths files = outputs(2);
    UndoStore::record(files);
    std::vector<Notice> notices;
    StatusMenu status([&](const Notice& notice) { notices.push_back(notice); });
    item(status.menu(), "Undo Last Conversion")->trigger();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].title, "Undone");
    EXPECT_EQ(notices[0].subtitle, "Moved 2 files to the Trash");
    EXPECT_FALSE(notices[0].failed);
    EXPECT_FALSE(std::filesystem::exists(files[0]));
    emit status.menu()->aboutToShow();
    EXPECT_FALSE(item(status.menu(), "Undo Last Conversion")->isEnabled());
}
