// The settings window on the test's own X server: its controls write the settings file at
// once, follow it when another process writes it, and say what is wrong with helpers.
#include "WindowTesting.h"

#include "platform/Autostart.h"
#include "presets/PresetStore.h"
#include "windows/App.h"
#include "windows/PresetEditor.h"
#include "windows/PresetsSection.h"
#include "windows/SettingsWindow.h"
#include "windows/WatchFoldersSection.h"
#include "windows/WelcomeWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QTest>

namespace {
// The visible widget whose text is this (or, not whole, contains it).
template <typename Widget>
Widget* withText(QWidget* root, const QString& text, bool whole = true)
{
    for (Widget* widget : root->findChildren<Widget*>())
        if (widget->isVisibleTo(root) && (whole ? widget->text() == text : widget->text().contains(text))) return widget;
    return nullptr;
}
QLabel* labelContaining(QWidget* root, const QString& part) { return withText<QLabel>(root, part, false); }

// What another process finds in the settings file.
QVariant stored(const QString& key) { return QSettings(Settings::fileName(), QSettings::IniFormat).value(key); }
}

class SettingsWindowTest : public FreshHomeWithFiles {
protected:
    void SetUp() override
    {
        FreshHomeWithFiles::SetUp();
        REQUIRE_DESKTOP();
        Settings::setValue(SettingsKey::didShowWelcome, true);
        PresetStore::seedIfNeeded();
        std::filesystem::create_directories(tools);
        setenv("VARNOLT_TOOL_DIRS", tools.c_str(), 1);
    }
    void TearDown() override
    {
        window.reset();
        unsetenv("VARNOLT_TOOL_DIRS");
        FreshHomeWithFiles::TearDown();
    }
    SettingsWindow& open()
    {
        window = std::make_unique<SettingsWindow>();
        window->move(40, 40);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    Path script(const std::string& name, const std::string& output)
    {
        const Path path = tools / name;
        writeFile(path, "#!/bin/sh\necho '" + output + "'\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }

    const Path tools = dir / "tools";
    std::unique_ptr<SettingsWindow> window;
};

// The keys write the file at once and warn of two wheels on one key; when another process
// (the command line, an editor) writes the file, the application's window follows.
TEST_F(SettingsWindowTest, KeysWriteAndFollowTheFileAndTwoWheelsOnOneKeyWarn)
{
    App app({}, true);
    app.showSettings();
    SettingsWindow& w = *app.settingsWindow();
    const auto warning = [&] { return labelContaining(&w, "Each wheel needs its own key.") != nullptr; };
    EXPECT_FALSE(warning());
    Settings::setValue("key.tools", "shift");
    EXPECT_TRUE(warning());

    // The tools picker, worked from the keyboard: the choice is in the file at once.
    QComboBox* tools = w.findChildren<QComboBox*>().at(1);
    EXPECT_EQ(tools->currentText(), "⇧  Shift");
    tools->setFocus();
    QTest::keyClick(tools, Qt::Key_Down);
    EXPECT_EQ(stored("key.tools").toString(), "command");
    EXPECT_FALSE(warning());

    QComboBox* hotkey = w.findChildren<QComboBox*>().at(3);
    EXPECT_EQ(hotkey->currentText(), "⌃⌥Space");
    QSettings other(Settings::fileName(), QSettings::IniFormat);
    other.setValue("hotkey", "off");
    other.setValue("key.convert", "option");
    other.sync();
    EXPECT_TRUE(TestDesktop::waitFor([&] { return hotkey->currentText() == "Off"; }));
    EXPECT_EQ(w.findChildren<QComboBox*>().at(0)->currentText(), "⌥  Alt");
}

TEST_F(SettingsWindowTest, FfmpegStatusSaysWhatIsWrongWithThePath)
{
    const Path folder = tools / "ffmpeg-folder";
    std::filesystem::create_directories(folder);
    const Path plain = tools / "plain";
    writeFile(plain, "not a program");
    const Path other = script("other", "hello");
    const Path real = script("ffmpeg-custom", "ffmpeg version 6.0 Copyright (c) 2000-2023");
    const struct { Path path; std::string status; } cases[] = {
        {"", "Not found. Install with: sudo apt install ffmpeg"},
        {folder, folder.string() + " is a folder, not the ffmpeg program. Not found. Install with: sudo apt install ffmpeg"},
        {plain, plain.string() + " can't be run: make it executable with chmod +x. Not found. Install with: sudo apt install ffmpeg"},
        {tools / "gone", "Nothing is at " + (tools / "gone").string() + ". Not found. Install with: sudo apt install ffmpeg"},
        {other, other.string() + " is not ffmpeg: clear the path to detect ffmpeg automatically."},
        {real, "Using " + real.string()},
    };
    SettingsWindow& w = open();
    QLineEdit* path = w.findChild<QLineEdit*>();
    for (const auto& c : cases) {
        path->setFocus();
        path->selectAll();
        QTest::keyClicks(path, qpath(c.path));
        QTest::keyClick(path, Qt::Key_Return);
        EXPECT_EQ(stored("ffmpegPath").toString().toStdString(), c.path.string());
        EXPECT_TRUE(TestDesktop::waitFor([&] { return labelContaining(&w, QString::fromStdString(c.status)); })) << c.status;
    }
    // Found in the usual folders, a broken custom path is passed over.
    const Path found = script("ffmpeg", "ffmpeg version 6.0");
    Settings::setValue(SettingsKey::ffmpegPath, qpath(folder));
    EXPECT_TRUE(labelContaining(&w, "program. Using " + qpath(found) + " instead."));
}

// A preset added in the editor is stored with its name trimmed; a blank name cannot be saved.
TEST_F(SettingsWindowTest, AddedPresetIsStoredWithItsNameTrimmed)
{
    PresetStore::setAll({});
    SettingsWindow& w = open();
    withText<QPushButton>(&w, "Add Preset")->click();
    PresetEditor* editor = w.presets()->editor();
    ASSERT_TRUE(editor);
    QPushButton* save = withText<QPushButton>(editor, "Save");
    QLineEdit* name = editor->findChild<QLineEdit*>();
    QTest::keyClicks(name, "   ");
    EXPECT_FALSE(save->isEnabled());
    QTest::keyClicks(name, "Clips ");
    // Video, then the GIF format: no video quality to choose.
    editor->findChildren<QComboBox*>().at(0)->setCurrentIndex(1);
    QComboBox* format = editor->findChildren<QComboBox*>().at(1);
    EXPECT_EQ(format->currentText(), "mp4");
    EXPECT_TRUE(withText<QAbstractButton>(editor, "Medium"));
    format->setCurrentText("gif");
    EXPECT_FALSE(withText<QAbstractButton>(editor, "Medium"));
    TestDesktop::keep(editor->grab().toImage(), "preset-editor");
    QTest::keyClick(name, Qt::Key_Return);

    ASSERT_EQ(PresetStore::all().size(), 1u);
    EXPECT_EQ(PresetStore::all()[0].name, "Clips");
    EXPECT_EQ(PresetStore::all()[0].format, "gif");
    EXPECT_TRUE(TestDesktop::waitFor([&] { return labelContaining(&w, "Clips"); }));
}

TEST_F(SettingsWindowTest, WatchFoldersKeepMissingFoldersAndTakeEachFolderOnce)
{
    const Path gone = dir / "gone", inbox = dir / "inbox";
    std::filesystem::create_directories(inbox);
    WatchStore::setAll({{QUuid::createUuid(), gone.string(), QUuid::createUuid(), true}});
    SettingsWindow& w = open();
    EXPECT_TRUE(labelContaining(&w, qpath(gone) + " — folder missing"));
    for (const Path& folder : {inbox, inbox / ""}) w.watchFolders()->addFolder(qpath(folder));
    const std::vector<WatchRule> rules = WatchStore::all();
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].path, gone.string());
    EXPECT_EQ(rules[1].path, inbox.string());
    EXPECT_EQ(rules[1].presetID, PresetStore::all().at(0).id);

    PresetStore::setAll({});
    EXPECT_FALSE(withText<QPushButton>(&w, "Add Folder…")->isEnabled());
    EXPECT_TRUE(labelContaining(&w, "Create a preset first"));
}

TEST_F(SettingsWindowTest, OpenAtLoginWritesAndRemovesTheAutostartEntry)
{
    SettingsWindow& w = open();
    QCheckBox* login = withText<QCheckBox>(&w, "Open at login");
    login->click();
    ASSERT_TRUE(std::filesystem::exists(Autostart::entryPath().toStdString()));
    EXPECT_NE(readFile(Autostart::entryPath().toStdString()).find("Exec="), std::string::npos);
    EXPECT_TRUE(Autostart::enabled());
    login->click();
    EXPECT_FALSE(std::filesystem::exists(Autostart::entryPath().toStdString()));

    // A file where the autostart folder belongs: the error shows and the switch stays off.
    std::filesystem::remove_all(home() / ".config" / "autostart");
    writeFile(home() / ".config" / "autostart", "not a folder");
    login->click();
    EXPECT_FALSE(login->isChecked());
    EXPECT_TRUE(labelContaining(&w, "Couldn't create the autostart folder"));
}

// Both windows, every section, light and dark, kept as pictures to look at; the dark palette is dark.
TEST_F(SettingsWindowTest, FollowsTheDesktopColourScheme)
{
    FakePortal portal(2);
    Settings::setValue("key.tools", "shift");
    WatchStore::setAll({{QUuid::createUuid(), (dir / "gone").string(), PresetStore::all().at(0).id, true}});
    SettingsWindow& w = open();
    WelcomeWindow welcome;
    welcome.resize(460, 640);
    for (const uint scheme : {2u, 1u}) {
        portal.change(scheme);
        const bool dark = scheme == 1;
        EXPECT_TRUE(TestDesktop::waitFor([&] { return (w.palette().color(QPalette::Window).lightness() < 128) == dark; }));
        const QImage content = w.findChild<QScrollArea*>()->widget()->grab().toImage();
        TestDesktop::keep(content, QString("settings-") + (dark ? "dark" : "light"));
        EXPECT_EQ(content.pixelColor(2, 2).lightness() < 128, dark);
        const QImage greeting = welcome.grab().toImage();
        TestDesktop::keep(greeting, QString("welcome-") + (dark ? "dark" : "light"));
        EXPECT_EQ(greeting.pixelColor(2, 2).lightness() < 128, dark);
    }
}
