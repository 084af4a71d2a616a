#include "WindowTesting.h"

#include "catalog/Catalog.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "core/RunnerText.h"
#include "windows/Runner.h"

#include <QClipboard>
#include <QRandomGenerator>
#include <QUrl>

#include <future>

namespace {
WheelOption fake(const std::string& title, bool isAction, bool isInteractive, RunFn run)
{
    return {title, std::nullopt, isAction, isInteractive, std::move(run)};
}

// Writes "<name>.jpg" next to the first file.
OptionResult writeJpg(const Paths& urls)
{
    Output::Pending pending(Output::url(urls[0], "jpg"));
    writeFile(pending.path(), std::string(500, 'j'));
    return {{pending.keep()}, std::nullopt};
}

template <typename Failure>
RunFn throwing(Failure failure) { return [failure](const Paths&) -> OptionResult { throw failure; }; }

// The run of an interactive option whose editor closed: it opens its own toast first.
RunFn afterEditor(RunFn work)
{
    return [work](const Paths& urls) {
        Runner::openLateToast("Cropping photo…", "photo.png");
        return work(urls);
    };
}
}

class RunnerTest : public WindowTest {
protected:
    // Runs the option and lets the main thread take its outcome.
    void perform(const WheelOption& option, const Paths& urls)
    {
        Runner::perform(option, urls, QPoint(400, 300));
        OptionRun::waitForAll();
        TestDesktop::pause(400);  // the outcome, and any dismissal, take their course
    }
};

// A real PNG converted on the convert page, in a job process. A job that crashes mid-run ends
// in a failure toast with nothing of its work left behind, and the application carries on:
// the next run shows progress, sizes and saving, then Undo.
TEST_F(RunnerTest, APngConvertsAfterACrashedJobThenShowsTheSavingAndUndoes)
{
    REQUIRE_DESKTOP();
    // A gradient with grain, as a photo has: its JPG comes out smaller.
    QImage picture(800, 600, QImage::Format_RGB32);
    const auto grain = [](int most) { return QRandomGenerator::global()->bounded(most); };
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x * 255 / 800 + grain(8), y * 255 / 600 + grain(8), 128 + grain(16)));
    const Path png = dir / "photo.png";
    ASSERT_TRUE(picture.save(qpath(png)));
    const WheelOption jpg = option(Catalog::options({png}, WheelMode::convert), "JPG");

    qputenv("VARNOLT_JOB_FAULT", "crash");
    perform(jpg, {png});
    qunsetenv("VARNOLT_JOB_FAULT");
    ASSERT_EQ(Toast::live().size(), 1u);
    EXPECT_EQ(newest()->model(), (ToastModel{"Couldn't jpg", "Couldn't convert photo.png: the converter stopped unexpectedly", State::failure}));
    EXPECT_EQ(listFolder(dir.path()), Names{"photo.png"});
    clear();

    Runner::perform(jpg, {png}, QPoint(640, 400));
    Toast* toast = newest();
    ASSERT_NE(toast, nullptr);
    EXPECT_EQ(toast->model(), (ToastModel{"JPG…", "photo.png", State::working}));
    ASSERT_TRUE(TestDesktop::waitFor([&] { return toast->model().state != State::working; }, 20000));
    const Path out = dir / "photo.jpg";
    EXPECT_EQ(toast->model(), (ToastModel{"photo.jpg", RunnerText::sizes(Output::size(png), Output::size(out)), State::success, {out}}));
    EXPECT_NE(toast->model().subtitle.find("  (−"), std::string::npos) << toast->model().subtitle;
    EXPECT_EQ(Recents::urls(), Paths{out});
    EXPECT_EQ(UndoStore::last(), Paths{out});
    settled(toast);
    TestDesktop::pause(600);
    TestDesktop::keep(TestDesktop::screenshot().copy(toast->view().frameGeometry().adjusted(-20, -20, 20, 20)), "runner-success");

    ASSERT_TRUE(click(toast, toast->view().undoButton().center()));
    ASSERT_TRUE(TestDesktop::waitFor([&] { return toast->model().title == "Undone"; }));
    EXPECT_EQ(toast->model().subtitle, "Moved 1 file to the Trash");
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_TRUE(std::filesystem::exists(home() / ".local/share/Trash/files/photo.jpg"));
    EXPECT_TRUE(std::filesystem::exists(png));
}

// Each outcome ends in its own toast or none; recognised text reaches the clipboard only when
// the whole run succeeds.
TEST_F(RunnerTest, EveryOutcomeEndsInItsOwnToastOrNone)
{
    const RunFn words = [](const Paths&) { return OptionResult{{}, std::string("12 words copied to the clipboard"), "Hello there"}; };
    const auto failure = [](const char* title, const char* subtitle) { return ToastModel{title, subtitle, State::failure}; };
    const struct {
        const char* what; WheelOption option; std::optional<ToastModel> toast; bool recorded;
        QString clipboard = "before";
    } cases[] = {
        {"a message", fake("Text", false, false, words), ToastModel{"Text", "12 words copied to the clipboard", State::success}, false, "Hello there"},
        {"nothing to say", fake("Check", false, false, [](const Paths&) { return OptionResult{}; }), std::nullopt, false},
        {"a failure", fake("Convert", false, false, throwing(KError("The file is damaged"))), failure("Couldn't convert", "The file is damaged"), false},
        {"a system error", fake("Convert", false, false, throwing(std::runtime_error("No space left on device"))),
         failure("Couldn't convert", "No space left on device"), false},
        {"a cancel", fake("Convert", false, false, throwing(UserCancelled())), std::nullopt, false},
        {"an action's outputs", fake("Copy", true, false, writeJpg), std::nullopt, true},
        {"an action's message", fake("Copy Path", true, false, [](const Paths&) { return OptionResult{{}, std::string("Copied")}; }),
         ToastModel{"Copy Path", "Copied", State::success}, false},
        {"an action's failure", fake("Move", true, false, throwing(KError("No such folder"))), failure("Move", "No such folder"), false},
        {"an editor without a toast", fake("Crop", false, true, writeJpg), std::nullopt, true},
        {"an editor's failure without a toast", fake("Crop", false, true, throwing(KError("The video is too short"))),
         failure("Crop", "The video is too short"), false},
        {"an editor closed with Cancel", fake("Crop", false, true, throwing(UserCancelled())), std::nullopt, false},
        {"an editor's toast, cancelled", fake("Crop", false, true, afterEditor(throwing(UserCancelled()))), std::nullopt, false},
        {"an editor's toast, failing", fake("Crop", false, true, afterEditor(throwing(KError("Disk full")))), failure("Couldn't crop", "Disk full"), false},
    };
    for (const auto& c : cases) {
        const Path photo = file("photo.png", std::string(2'000, 'p'));
        QGuiApplication::clipboard()->setText("before");
        perform(c.option, {photo});
        ASSERT_EQ(Toast::live().size(), c.toast ? 1u : 0u) << c.what;
        if (c.toast) { EXPECT_EQ(newest()->model(), *c.toast) << c.what; }
        EXPECT_EQ(UndoStore::last().size(), c.recorded ? 1u : 0u) << c.what;
        EXPECT_EQ(Runner::lateToast(), nullptr) << c.what;
        EXPECT_EQ(QGuiApplication::clipboard()->text(), c.clipboard) << c.what;
        clear();
        Settings::remove("lastOutputs");
        std::filesystem::remove(dir / "photo.jpg");
    }
}

TEST_F(RunnerTest, AnEditorsOwnToastTakesProgressAndTheOutcome)
{
    const Path photo = file("photo.png", std::string(2'000, 'p'));
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    Runner::perform(fake("Crop", false, true, afterEditor([released](const Paths& urls) {
                        Progress::report(0.25);
                        released.wait();
                        return writeJpg(urls);
                    })),
                    {photo});
    ASSERT_TRUE(TestDesktop::waitFor([] { return Runner::lateToast() && Runner::lateToast()->model().progress == 0.25; }));
    Toast* toast = Runner::lateToast();
    EXPECT_EQ(toast->model().title, "Cropping photo…");
    release.set_value();
    ASSERT_TRUE(TestDesktop::waitFor([&] { return toast->model().state == State::success; }));
    EXPECT_EQ(toast->model(), (ToastModel{"photo.jpg", "2 KB → 500 bytes  (−75%)", State::success, {dir / "photo.jpg"}, {}}));
    EXPECT_EQ(Runner::lateToast(), nullptr);
}

// Nothing serialises runs: three at once, each finishing its own toast in any order.
TEST_F(RunnerTest, SeveralRunsAtOnceFinishTheirOwnToasts)
{
    const Path photo = file("photo.png");
    std::vector<std::promise<void>> releases(3);
    std::vector<Toast*> toasts;
    for (int i = 0; i < 3; ++i) {
        std::shared_future<void> released = releases[i].get_future().share();
        const std::string title = "Run " + std::to_string(i + 1);
        Runner::perform(fake(title, false, false, [released, title, i](const Paths&) {
                            Progress::report(0.3 * (i + 1));
                            released.wait();
                            return OptionResult{{}, title + " done"};
                        }),
                        {photo}, QPoint(400, 150 + 80 * i));
        toasts.push_back(newest());
    }
    // Each working toast shows its own run's fraction done: all three run at the same time.
    ASSERT_TRUE(TestDesktop::waitFor([&] {
        return std::all_of(toasts.begin(), toasts.end(), [&](Toast* t) { return t->model().progress.has_value(); });
    }));
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(*toasts[i]->model().progress, 0.3 * (i + 1));
    if (TestDesktop::running()) {
        TestDesktop::pause(400);
        TestDesktop::keep(TestDesktop::screenshot().copy(QRect(200, 100, 400, 260)), "runner-working");
    }
    for (int i = 2; i >= 0; --i) {
        releases[i].set_value();
        ASSERT_TRUE(TestDesktop::waitFor([&] { return toasts[i]->model().state == State::success; }));
        EXPECT_EQ(toasts[i]->model().subtitle, "Run " + std::to_string(i + 1) + " done");
        for (int j = 0; j < i; ++j) EXPECT_EQ(toasts[j]->model().state, State::working);
    }
}

TEST_F(RunnerTest, RevealAfterShowsTheOutputsInTheFileManager)
{
    REQUIRE_DESKTOP();
    FakeFileManager fileManager;
    Settings::setValue("revealAfter", true);
    perform(fake("JPG", false, false, writeJpg), {file("photo.png")});
    const QString uri = QUrl::fromLocalFile(qpath(dir / "photo.jpg")).toString();
    EXPECT_TRUE(TestDesktop::waitFor([&] { return fileManager.shown == QStringList{uri}; }));
}
