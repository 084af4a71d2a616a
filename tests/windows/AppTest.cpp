#include "WindowTesting.h"

#include "platform/Clipboard.h"
#include "platform/SingleInstance.h"
#include "presets/PresetStore.h"
#include "presets/WatchRule.h"
#include "windows/App.h"

#include <QClipboard>
#include <QSignalSpy>

class AppTest : public WindowTest {
protected:
    // Whether the application asked for its welcome window once it started.
    bool welcomed(App& app)
    {
        QSignalSpy spy(&app, &App::welcomeRequested);
        TestDesktop::pause(50);
        return spy.count() == 1;
    }
};

TEST_F(AppTest, WelcomeOnTheFirstStartAndWhenAsked)
{
    const struct { QStringList arguments; bool welcome; } starts[] = {{{}, true}, {{}, false}, {{"--welcome"}, true}, {{}, false}};
    for (const auto& start : starts) {
        App app(start.arguments, true);
        EXPECT_EQ(welcomed(app), start.welcome) << start.arguments.join(" ").toStdString();
        EXPECT_TRUE(Settings::boolean("didShowWelcome"));
    }
}

TEST_F(AppTest, WithoutATraySaysOnceHowToReachVarnolt)
{
    Settings::setValue("didShowWelcome", true);
    {
        App app({}, false);
        ASSERT_EQ(Toast::live().size(), 1u);
        EXPECT_EQ(newest()->model(), (ToastModel{"Varnolt is running", "No tray icon here: start Varnolt again to open it", State::success}));
    }
    clear();
    REQUIRE_DESKTOP();
    // A tray of the test's own: the icon goes there and nothing is said.
    const auto tray = TestDesktop::launch("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "28"});
    ASSERT_TRUE(TestDesktop::waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); })) << "trayer did not start";
    App app({});
    EXPECT_TRUE(Toast::live().empty());
}

// The command line and other programs write the settings file while Varnolt runs.
TEST_F(AppTest, SeesSettingsWrittenByOtherProcesses)
{
    Settings::setValue("didShowWelcome", true);
    App app({}, true);
    UndoStore::record({file("photo.jpg")});
    ASSERT_EQ(runVarnolt({"--undo"}).status, 0);
    EXPECT_TRUE(TestDesktop::waitFor([] { return Settings::stringList("lastOutputs").isEmpty(); }));

    QSignalSpy changes(&Settings::notifier(), &SettingsNotifier::changed);
    writeFile(Settings::fileName().toStdString(), "[General]\ndidShowWelcome=true\nkey.convert=option\n");
    EXPECT_TRUE(TestDesktop::waitFor([] { return App::toolTip() == "Varnolt — drag a file and tap ⌥"; }));
    EXPECT_GE(changes.count(), 1);
}

// A damaged settings file is kept before anything is written over it; an unwritable one is
// reported; either way Varnolt starts and says so.
TEST_F(AppTest, SettingsFileProblemsAreToldAndNothingIsLost)
{
    const std::string conf = Settings::fileName().toStdString();
    const std::string damaged = "[General\nkey.convert=option\n[presets\x01\n";
    const struct { const char* what; std::function<void()> setUp; std::string subtitle; std::string kept; } cases[] = {
        {"damaged", [&] { writeFile(conf, damaged); }, "Damaged settings file kept as Varnolt.conf.damaged", damaged},
        {"a folder in its place", [&] { std::filesystem::create_directories(conf); },
         "~/.config/Varnolt/Varnolt.conf can't be written — changes last until Varnolt quits", ""},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(std::filesystem::path(conf).parent_path());
        c.setUp();
        Settings::reset();
        Settings::registerDefaults();
        App app({}, true);
        ASSERT_TRUE(TestDesktop::waitFor([] { return !Toast::live().empty(); })) << c.what;
        EXPECT_EQ(newest()->model(), (ToastModel{"Couldn't use the settings file", c.subtitle, State::failure})) << c.what;
        EXPECT_EQ(Toast::live().size(), 1u) << "said once: " << c.what;
        if (!c.kept.empty()) { EXPECT_EQ(readFile(conf + ".damaged"), c.kept); }
        clear();
    }
}

// A second start hands its arguments over and leaves; a shelf or a clipboard set by the command
// line would go with it, so the running application takes them over.
TEST_F(AppTest, ASecondStartHandsOverWhatOutlivesIt)
{
    // A socket left behind by a Varnolt that crashed does not stop the next start.
    const QString stale = "varnolt-test-stale.socket";
    writeFile((qEnvironmentVariable("XDG_RUNTIME_DIR") + "/" + stale).toStdString(), "");
    EXPECT_EQ(SingleInstance(stale).claim({}), SingleInstance::Claim::primary);

    REQUIRE_DESKTOP();
    SingleInstance running;
    ASSERT_EQ(running.claim({}), SingleInstance::Claim::primary);
    QSignalSpy activated(&running, &SingleInstance::activated);
    const QString photo = qpath(file("photo.jpg"));
    const struct { QStringList arguments, handedOver; } cases[] = {
        {{"--welcome"}, {"--welcome"}},
        {{"--run", "actions", "Float", photo}, {"--perform", "actions", "Float", photo}},
        {{"--run", "actions", "Copy Path", photo}, {"--clipboard-text", photo}},
    };
    for (const auto& c : cases) {
        activated.clear();
        const auto second = TestDesktop::launch(VARNOLT_EXE, c.arguments);
        ASSERT_TRUE(TestDesktop::waitFor([&] { return second->state() == QProcess::NotRunning; }, 20000));
        EXPECT_EQ(second->exitCode(), 0) << (second->readAllStandardOutput() + second->readAllStandardError()).toStdString();
        ASSERT_EQ(activated.count(), 1) << c.arguments.join(" ").toStdString();
        EXPECT_EQ(activated.front().front().toStringList(), c.handedOver);
    }
    ASSERT_TRUE(Clipboard::take(activated.front().front().toStringList()));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), photo);
}

// The whole program: it stays up as a tray application; started again, it leaves at once.
TEST_F(AppTest, TheProgramRunsOnceAndWithoutADisplaySaysWhatItNeeds)
{
    const CommandResult headless = runVarnolt({}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
    EXPECT_EQ(headless.status, 1);
    EXPECT_NE(headless.err.find("needs a display"), std::string::npos);

    REQUIRE_DESKTOP();
    const auto first = TestDesktop::launch(VARNOLT_EXE, {});
    EXPECT_FALSE(first->waitForFinished(2000)) << first->readAllStandardError().toStdString();
    const auto second = TestDesktop::launch(VARNOLT_EXE, {});
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    EXPECT_EQ(first->state(), QProcess::Running);
    first->terminate();
    EXPECT_TRUE(first->waitForFinished());
}

// The application seeds the presets, watches the folders of its rules and tells of each
// watched file in a toast.
TEST_F(AppTest, WatchedFilesAreToldInToasts)
{
    Settings::setValue("didShowWelcome", true);
    const Path folder = dir.path() / "In";
    std::filesystem::create_directories(folder);
    PresetStore::seedIfNeeded();
    const Preset web = PresetStore::all().front();
    WatchStore::setAll({{QUuid::createUuid(), folder.string(), web.id, true}});
    App app({}, true);
    std::filesystem::copy_file(VARNOLT_TEST_DATA "/media/old.tga", folder / "cat.tga");
    writeFile(folder / "broken.png", "not a picture");
    // Each toast is noted as it shows: on a busy machine the first may leave before the second comes.
    const std::string output = "cat (Web)." + web.format;
    std::map<std::string, ToastModel> toasts;
    ASSERT_TRUE(TestDesktop::waitFor([&] {
        for (const Toast* toast : Toast::live()) toasts[toast->model().title] = toast->model();
        return toasts.count("cat.tga → ★ Web") && toasts.count("Watch folder: couldn't convert broken.png");
    }, 20000));
    EXPECT_EQ(toasts["cat.tga → ★ Web"].subtitle, output);
    EXPECT_EQ(toasts["cat.tga → ★ Web"].outputs, Paths{folder / "Converted" / output});
    EXPECT_EQ(toasts["Watch folder: couldn't convert broken.png"].state, ToastModel::State::failure);
}

// The file managers' menus ask the running application to carry an option out with its toast.
TEST_F(AppTest, PerformRunsTheNamedOptionWithItsToast)
{
    Settings::setValue("didShowWelcome", true);
    const Path png = dir / "photo.png";
    ASSERT_TRUE(savePicture(png, {16, 16}));
    EXPECT_EQ(App::withAbsolutePaths({"--perform", "convert", "jpg", "photo.png"}).last().toStdString(),
              (std::filesystem::current_path() / "photo.png").string());
    const struct { QString title; std::string toastTitle; } cases[] = {{"jpg", "photo.jpg"}, {"nonsense", "Couldn't run nonsense"}};
    for (const auto& c : cases) {
        App app({"--perform", "convert", c.title, qpath(png)}, true);
        ASSERT_TRUE(TestDesktop::waitFor([&] { return !Toast::live().empty() && newest()->model().state != ToastModel::State::working; }, 20000));
        EXPECT_EQ(newest()->model().title, c.toastTitle);
        clear();
    }
    EXPECT_EQ(Recents::urls(), Paths{dir / "photo.jpg"});
}
