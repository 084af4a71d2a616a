#include "WindowTesting.h"

#include "windows/App.h"
#include "windows/FileChooser.h"
#include "windows/StatusMenu.h"

class StatusMenuTest : public WindowTest {
protected:
    Paths outputs(int count)
    {
        Paths files;
        for (int i = 1; i <= count; ++i) files.push_back(file("out" + std::to_string(i) + ".png", "png"));
        return files;
    }
};

TEST_F(StatusMenuTest, HintHotkeyAndToolTipFollowTheSettings)
{
    StatusMenu status;
    EXPECT_EQ(texts(status.menu()),
              (QStringList{"Drag a file, then tap ⇧ Convert · ⌘ Tools · ⌃ Actions", "-", "Convert Selected Files    ⌃⌥Space",
                           "Convert a File…", "Undo Last Conversion", "-", "Recent Conversions — none yet", "-",
                           "How It Works", "Settings…", "Quit Varnolt"}));
    EXPECT_EQ(item(status.menu(), "Convert a File…")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(item(status.menu(), "Settings…")->shortcut(), QKeySequence("Ctrl+,"));
    EXPECT_EQ(item(status.menu(), "Quit Varnolt")->shortcut(), QKeySequence("Ctrl+Q"));
    // Their windows come later: until then the items cannot be chosen.
    EXPECT_FALSE(item(status.menu(), "How It Works")->isEnabled());
    status.showSettings = [] {};
    emit status.menu()->aboutToShow();
    EXPECT_TRUE(item(status.menu(), "Settings…")->isEnabled());
    EXPECT_EQ(App::toolTip(), "Varnolt — drag a file and tap ⇧");

    const std::pair<const char*, const char*> hotkeys[] = {
        {"off", "Convert Selected Files"}, {"cmdOptReturn", "Convert Selected Files    ⌥⌘Return"},
        {"ctrlOptK", "Convert Selected Files    ⌃⌥K"}, {"hyper", "Convert Selected Files    ⌃⌥Space"}};
    for (const auto& [choice, title] : hotkeys) {
        Settings::setValue("hotkey", choice);
        EXPECT_EQ(StatusMenu::selectionTitle(), title);
    }

    Settings::setValue("key.convert", "option");
    Settings::setValue("key.tools", "option");
    Settings::setValue("key.actions", "command");
    emit status.menu()->aboutToShow();
    EXPECT_EQ(status.menu()->actions().front()->text(), "Drag a file, then tap ⌥ Convert · ⌥ Tools · ⌘ Actions");
    EXPECT_EQ(App::toolTip(), "Varnolt — drag a file and tap ⌥");
}

// Up to five recents stand in the menu with an Options submenu; the rest spill into More.
// Clearing them leaves Undo alone, and Undo reports in a toast.
TEST_F(StatusMenuTest, RecentsListFiveSpillIntoMoreAndClearWithoutUndo)
{
    const Paths three = outputs(3);
    Recents::add(three);
    UndoStore::record(three);
    StatusMenu status;
    const auto recents = [&](int count) {
        emit status.menu()->aboutToShow();
        const QStringList all = texts(status.menu());
        return all.mid(all.indexOf("Recent Conversions") + 1, count);
    };
    EXPECT_EQ(recents(4), (QStringList{"out1.png", "out2.png", "out3.png", "Options"}));
    EXPECT_EQ(item(status.menu(), "out1.png")->toolTip(), QString::fromStdString("Show in Folder — " + three[0].string()));
    EXPECT_FALSE(item(status.menu(), "out1.png")->icon().isNull());
    EXPECT_EQ(texts(item(status.menu(), "Options")->menu()), QStringList{"Clear Recents"});

    item(item(status.menu(), "Options")->menu(), "Clear Recents")->trigger();
    emit status.menu()->aboutToShow();
    EXPECT_TRUE(texts(status.menu()).contains("Recent Conversions — none yet"));
    ASSERT_TRUE(item(status.menu(), "Undo Last Conversion")->isEnabled());
    item(status.menu(), "Undo Last Conversion")->trigger();
    ASSERT_EQ(Toast::live().size(), 1u);
    EXPECT_EQ(newest()->model(), (ToastModel{"Undone", "Moved 3 files to the Trash", State::success}));
    EXPECT_FALSE(std::filesystem::exists(three[0]));
    emit status.menu()->aboutToShow();
    EXPECT_FALSE(item(status.menu(), "Undo Last Conversion")->isEnabled());

    Recents::add(outputs(7));
    EXPECT_EQ(recents(7), (QStringList{"out1.png", "out2.png", "out3.png", "out4.png", "out5.png", "More", "-"}));
    EXPECT_EQ(texts(item(status.menu(), "More")->menu()), (QStringList{"out6.png", "out7.png", "-", "Clear Recents"}));
}

TEST_F(StatusMenuTest, TheChooserTakesFilesAndFoldersTogether)
{
    const Path photo = file("photo.png");
    std::filesystem::create_directory(dir / "album");
    FileChooser chooser;
    chooser.setDirectory(qpath(dir.path()));
    chooser.selectFile("\"photo.png\" \"album\"");
    chooser.accept();
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    Paths chosen = chooser.chosen();
    std::sort(chosen.begin(), chosen.end());
    EXPECT_EQ(chosen, (Paths{dir / "album", photo}));
}
