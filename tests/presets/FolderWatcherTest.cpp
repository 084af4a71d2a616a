#include "ImageSamples.h"
#include "TestDesktop.h"
#include "TestSupport.h"

#include "core/JobProcess.h"
#include "core/Recents.h"
#include "presets/FolderWatcher.h"
#include "presets/PresetStore.h"

#include <QSignalSpy>

using namespace TestSupport;

namespace {
constexpr int interval = 300;
}

class FolderWatcherTest : public FreshHomeWithFiles {
protected:
    void TearDown() override
    {
        qunsetenv("VARNOLT_JOB_FAULT");
        JobProcesses::setKeepAhead(true);
        FreshHomeWithFiles::TearDown();
    }
    void SetUp() override
    {
        FreshHomeWithFiles::SetUp();
        PresetStore::setAll({web});
        std::filesystem::create_directories(watched);
    }

    void addRule(const Path& folder, const QUuid& preset, bool enabled = true)
    {
        std::vector<WatchRule> rules = WatchStore::all();
        rules.push_back({QUuid::createUuid(), folder.string(), preset, enabled});
        WatchStore::setAll(rules);
    }
    // Written beside the folder and moved in, whatever the name.
    void picture(const Path& to) { ImageSamples::save(ImageSamples::noise(40, 30), dir / "made.png"); std::filesystem::rename(dir / "made.png", to); }
    // Watches the folder In with the Web preset from the first readings on.
    void watchIn(int readings = 1) { addRule(watched, web.id); watcher.start(); settle(readings); }
    // Lets the watcher read its folders several times and finish what it started.
    void settle(int readings = 4)
    {
        QSignalSpy spy(&watcher, &FolderWatcher::scanned);
        EXPECT_TRUE(TestDesktop::waitFor([&] { return spy.count() >= readings && watcher.pending() == 0; }, 30000));
    }
    // How often each source was converted.
    std::map<std::string, int> conversions() const
    {
        std::map<std::string, int> count;
        for (const QList<QVariant>& call : converted) ++count[Path(call[0].toString().toStdString()).filename().string()];
        return count;
    }

    Preset web{.id = QUuid::createUuid(), .name = "Web", .format = "png"};
    Path watched = dir / "In";
    FolderWatcher watcher{interval, 2};
    QSignalSpy converted{&watcher, &FolderWatcher::converted};
    QSignalSpy failed{&watcher, &FolderWatcher::failed};
};

TEST_F(FolderWatcherTest, ConvertsEachNewFileOfThePresetsKindOnceIntoConverted)
{
    picture(watched / "old.png");
    watchIn(2);
    picture(watched / "cat.png");
    const std::string original = readFile(watched / "cat.png");
    writeFile(watched / "notes.txt", "not a picture");
    writeFile(watched / "empty.png", "");
    picture(watched / "dog.png.crdownload");
    picture(watched / ".hidden.png");
    settle();
    EXPECT_EQ(listFolder(watched / "Converted"), Names{"cat (Web).png"});
    EXPECT_EQ(readFile(watched / "cat.png"), original);
    const Path output = watched / "Converted" / "cat (Web).png";
    EXPECT_EQ(Recents::urls(), Paths{output});
    EXPECT_EQ(UndoStore::last(), Paths{output});
    ASSERT_EQ(converted.count(), 1);
    EXPECT_EQ(converted[0][1].toString(), "Web");
    EXPECT_EQ(converted[0][2].toString().toStdString(), output.string());

    // The download gets its final name, the empty file its contents, and a second source
    // gives a result of the same name.
    std::filesystem::rename(watched / "dog.png.crdownload", watched / "dog.png");
    picture(watched / "empty.png");
    picture(watched / "cat.jpg");
    settle();
    EXPECT_EQ(listFolder(watched / "Converted"), (Names{"cat (Web) 2.png", "cat (Web).png", "dog (Web).png", "empty (Web).png"}));
    EXPECT_EQ(conversions(), (std::map<std::string, int>{{"cat.jpg", 1}, {"cat.png", 1}, {"dog.png", 1}, {"empty.png", 1}}));
    EXPECT_EQ(failed.count(), 0);
}

// A file written slowly, as a download is, is converted once, complete, after it stops growing.
TEST_F(FolderWatcherTest, AGrowingFileWaitsUntilItStops)
{
    watchIn();
    ImageSamples::save(ImageSamples::noise(600, 30), dir / "big.png");
    TestDesktop::writeSlowly(readFile(dir / "big.png"), watched / "big.png", 12, interval / 2);
    EXPECT_TRUE(conversions().empty());
    settle();
    EXPECT_EQ(conversions(), (std::map<std::string, int>{{"big.png", 1}}));
    EXPECT_EQ(ImageSamples::open(watched / "Converted" / "big (Web).png").width(), 600);
}

// Many files at once are converted a few at a time; none is lost or converted twice.
TEST_F(FolderWatcherTest, AFloodIsConvertedAFewAtATime)
{
    watchIn();
    for (int i = 0; i < 20; ++i) picture(watched / ("p" + std::to_string(i) + ".png"));
    int most = 0;
    ASSERT_TRUE(TestDesktop::waitFor([&] {
        most = std::max(most, watcher.running());
        return converted.count() == 20;
    }, 60000));
    settle(2);
    EXPECT_EQ(conversions().size(), 20u);
    for (const auto& [name, times] : conversions()) EXPECT_EQ(times, 1) << name;
    EXPECT_EQ(listFolder(watched / "Converted").size(), 20u);
    EXPECT_LE(most, 2);
}

// Folders missing at first, rules without a preset or switched off, and a rule on another
// rule's results.
TEST_F(FolderWatcherTest, RulesThatCannotBeFollowedNowAreFollowedLater)
{
    const Path later = dir / "Later", orphan = dir / "Orphan";
    std::filesystem::create_directories(orphan);
    std::filesystem::create_directories(watched / "Converted");
    addRule(watched, web.id, false);
    addRule(later, web.id);
    addRule(watched / "Converted", web.id);
    addRule(orphan, QUuid::createUuid());
    watcher.start();
    settle(2);

    // What a folder holds when it can first be read counts as already there.
    std::filesystem::create_directories(later);
    picture(later / "before.png");
    picture(watched / "meanwhile.png");
    picture(orphan / "orphan.png");
    settle();
    picture(later / "after.png");
    // The rule switched off is switched on.
    std::vector<WatchRule> rules = WatchStore::all();
    for (WatchRule& rule : rules) rule.enabled = true;
    WatchStore::setAll(rules);
    // The second rule converts the first one's result once it has been seen twice.
    EXPECT_TRUE(TestDesktop::waitFor([&] { return converted.count() >= 3; }, 30000));
    settle(2);
    EXPECT_EQ(conversions(), (std::map<std::string, int>{{"after.png", 1}, {"meanwhile (Web).png", 1}, {"meanwhile.png", 1}}));
    EXPECT_EQ(listFolder(watched / "Converted" / "Converted"), Names{"meanwhile (Web) (Web).png"});
    EXPECT_FALSE(std::filesystem::exists(orphan / "Converted"));
    EXPECT_EQ(failed.count(), 0);
}

TEST_F(FolderWatcherTest, AnUnreadableFolderIsLeftAloneUntilItCanBeRead)
{
    picture(watched / "inside.png");
    addRule(watched, web.id);
    std::filesystem::permissions(watched, std::filesystem::perms::none);
    {
        OrdinaryUser user;
        watcher.start();
        settle(3);
    }
    std::filesystem::permissions(watched, std::filesystem::perms::owner_all);
    settle(1);
    picture(watched / "new.png");
    settle();
    EXPECT_EQ(conversions(), (std::map<std::string, int>{{"new.png", 1}}));
}

// Conversions run in job processes: one that fails and one whose process crashes are both
// reported, this process carries on, and nothing of either is left behind.
TEST_F(FolderWatcherTest, AFailedOrCrashedConversionIsReportedAndLeavesNothingBehind)
{
    const PrivateTemp temp;
    // A process loaded ahead would keep a folder of its own in the temporary folder.
    JobProcesses::setKeepAhead(false);
    watchIn();
    writeFile(watched / "broken.png", "not a picture");
    ASSERT_TRUE(TestDesktop::waitFor([&] { return failed.count() == 1; }, 20000));
    qputenv("VARNOLT_JOB_FAULT", "crash");
    picture(watched / "crash.png");
    ASSERT_TRUE(TestDesktop::waitFor([&] { return failed.count() == 2; }, 20000));
    settle(1);
    EXPECT_EQ(failed[0][0].toString().toStdString(), (watched / "broken.png").string());
    EXPECT_FALSE(failed[0][1].toString().isEmpty());
    EXPECT_EQ(failed[1][1].toString(), "Couldn't convert crash.png: the converter stopped unexpectedly");
    EXPECT_FALSE(std::filesystem::exists(watched / "Converted"));
    EXPECT_TRUE(listFolder(temp.dir.path()).empty());
    EXPECT_EQ(listFolder(watched), (Names{"broken.png", "crash.png"}));
}

// With no rules nothing is scheduled; rules written later, also by another process, start it.
TEST_F(FolderWatcherTest, DoesNothingWithoutRules)
{
    watcher.start();
    EXPECT_FALSE(watcher.timerActive());
    addRule(watched, web.id);
    EXPECT_TRUE(watcher.timerActive());
    WatchStore::setAll({});
    EXPECT_FALSE(watcher.timerActive());
}
