#include "WindowTesting.h"

#include "platform/SingleInstance.h"
#include "presets/PresetStore.h"
#include "presets/WatchRule.h"

#include <QFileInfo>

#include <set>

namespace {
// What an independent reader says of a file: one field of vipsheader, ffprobe or exiftool.
std::string vipsField(const Path& file, const std::string& field)
{
    const CommandResult r = runProgram("vipsheader", {"-f", field, file.string()});
    return r.out.substr(0, r.out.find('\n'));
}

std::string probeField(const Path& file, const std::string& entries)
{
    const CommandResult r = runProgram("ffprobe", {"-v", "error", "-show_entries", entries, "-of", "csv=p=0", file.string()});
    return r.out.substr(0, r.out.find_last_not_of('\n') + 1);
}

void makePicture(const Path& to, const std::string& size)
{
    const CommandResult r = runProgram("vips", {"gaussnoise", to.string() + "[Q=90]", size.substr(0, size.find('x')), size.substr(size.find('x') + 1)});
    ASSERT_EQ(r.status, 0) << r.err;
}

std::set<std::string> finished(const Path& folder)
{
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.file_size(ec) > 0) names.insert(entry.path().filename().string());
    }
    return names;
}
}

class WatchFolderEndToEnd : public FreshHomeWithFiles {};

// The real application, with two rules on one folder: each photo and video dropped into it
// is converted exactly once by the rule of its kind; what was there before is left alone.
TEST_F(WatchFolderEndToEnd, TheRunningApplicationConvertsEachDroppedFileOnce)
{
    REQUIRE_DESKTOP();
    const Path watched = dir / "In", made = dir / "made", converted = watched / "Converted";
    std::filesystem::create_directories(watched);
    std::filesystem::create_directories(made);
    makePicture(watched / "old.jpg", "300x200");
    makePicture(made / "wide.jpg", "3200x1600");
    makePicture(made / "slow.jpg", "2400x1800");
    const CommandResult clip = runProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=1", "-f", "lavfi", "-i",
                                                      "sine=duration=1", "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", (made / "clip.mov").string()});
    ASSERT_EQ(clip.status, 0) << clip.err;
    Settings::setValue("didShowWelcome", true);
    PresetStore::seedIfNeeded();
    const Preset web = PresetStore::all().at(0), email = PresetStore::all().at(1);
    WatchStore::setAll({{QUuid::createUuid(), watched.string(), web.id, true}, {QUuid::createUuid(), watched.string(), email.id, true}});

    const auto app = TestDesktop::launch(VARNOLT_EXE, {});
    const QString socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + "/" + SingleInstance::defaultName();
    ASSERT_TRUE(TestDesktop::waitFor([&] { return QFileInfo::exists(socket); }, 20000)) << app->readAllStandardError().toStdString();
    TestDesktop::pause(1500);

    std::filesystem::copy_file(made / "wide.jpg", watched / "wide.jpg");
    std::filesystem::copy_file(made / "clip.mov", watched / "clip.mov");
    TestDesktop::writeSlowly(readFile(made / "slow.jpg"), watched / "slow.jpg", 10, 800);
    const std::set<std::string> expected = {"clip (Email).mp4", "slow (Web)." + web.format, "wide (Web)." + web.format};
    ASSERT_TRUE(TestDesktop::waitFor([&] { return finished(converted) == expected; }, 60000)) << listFolder(converted).size();
    // Two more readings: nothing else is converted.
    TestDesktop::pause(7000);
    EXPECT_EQ(listFolder(converted), Names(expected.begin(), expected.end()));
    app->terminate();
    EXPECT_TRUE(app->waitForFinished(20000));

    const Path wide = converted / ("wide (Web)." + web.format), slow = converted / ("slow (Web)." + web.format);
    EXPECT_EQ(vipsField(wide, "width") + "x" + vipsField(wide, "height"), "1600x800");
    EXPECT_EQ(vipsField(slow, "width") + "x" + vipsField(slow, "height"), "1600x1200");
    EXPECT_EQ(readFile(watched / "slow.jpg"), readFile(made / "slow.jpg"));
    const Path video = converted / "clip (Email).mp4";
    EXPECT_EQ(probeField(video, "stream=codec_name,height"), "h264,240\naac");
    Settings::reload();
    const Paths recent = Recents::urls();
    EXPECT_EQ(std::set<Path>(recent.begin(), recent.end()), (std::set<Path>{wide, slow, video}));
}
