// libvips first: glib names a field "signals", which Qt's headers define away.
#include "media/ImageOps.h"

#include "TestSupport.h"

#include "core/Settings.h"
#include "presets/PresetStore.h"
#include "presets/WatchRule.h"

#include <QFileInfo>

using namespace TestSupport;

namespace {
Preset make(Preset::Kind kind, const std::string& format) { return {.id = QUuid::createUuid(), .kind = kind, .format = format}; }
std::string stored(const char* key) { return Settings::value(key).toByteArray().toStdString(); }
}

TEST(PresetSummary, ReadsAsTheListShowsIt)
{
    using enum Preset::Kind;
    const std::pair<Preset, std::string> cases[] = {
        {{.kind = image, .format = "webp", .maxDimension = 1600, .stripMetadata = true}, "WEBP · 80% · max 1600px · no metadata"},
        {{.kind = image, .format = "png"}, "PNG"},
        {{.kind = image, .format = "jpg", .quality = 0.57}, "JPG · 56%"},
        {{.kind = video, .format = "mp4", .maxHeight = 720, .videoQuality = Preset::VideoQuality::small}, "MP4 · 720p · small size"},
        {{.kind = video, .format = "gif"}, "GIF"},
        {{.kind = video, .format = "webm", .mute = true}, "WEBM · medium size · muted"},
        {{.kind = audio, .format = "mp3", .bitrate = 128, .mono = true}, "MP3 · 128 kbps · mono"},
        {{.kind = audio, .format = "flac"}, "FLAC"},
    };
    for (const auto& [preset, expected] : cases) EXPECT_EQ(preset.summary(), expected);
}

TEST(PresetJSON, WritesTheTwelveKeysInOrder)
{
    const Preset p{.id = QUuid::fromString(QStringLiteral("e621e1f8-c36c-495a-93fc-0c247a3e6e5f")), .name = "Web \"small\"", .format = "webp",
                   .maxDimension = 1600, .stripMetadata = true};
    const std::string json = PresetJSON::encode({p});
    EXPECT_EQ(json, R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"Web \"small\"","kind":"image","format":"webp","quality":0.8,)"
                    R"("maxDimension":1600,"stripMetadata":true,"maxHeight":0,"videoQuality":"medium","mute":false,"bitrate":192,"mono":false}])");
    EXPECT_EQ(PresetJSON::decode(json), std::vector<Preset>{p});
}

TEST(PresetJSON, OneMalformedRecordMakesTheWholeListUnreadable)
{
    const std::string good = PresetJSON::encode({make(Preset::Kind::image, "jpg")});
    const auto edited = [&](const std::string& from, const std::string& to) {
        std::string json = good;
        json.replace(json.find(from), from.size(), to);
        return json;
    };
    const std::string unreadable[] = {
        "not json", "{}", edited(R"("mono":false)", R"("other":false)"), edited(R"("kind":"image")", R"("kind":"Image")"),
        edited(R"("videoQuality":"medium")", R"("videoQuality":"tiny")"), edited(R"("mute":false)", R"("mute":0)"),
        edited(R"("bitrate":192)", R"("bitrate":19.5)"), edited(R"("id":")", R"("id":"x)"),
    };
    for (const std::string& json : unreadable) EXPECT_FALSE(PresetJSON::decode(json)) << json;
    // Other writers' forms of the same values still read.
    EXPECT_TRUE(PresetJSON::decode(edited(R"("bitrate":192)", R"("bitrate":192.0)")));
    EXPECT_TRUE(PresetJSON::decode(edited(R"("mono":false)", R"("mono":false,"extra":1)")));
}

class PresetStoreTest : public FreshHome {};

TEST_F(PresetStoreTest, SeedsWebAndEmailOnceAndNeverAfterTheUserEmptiedTheList)
{
    PresetStore::seedIfNeeded();
    const std::vector<Preset> seeded = PresetStore::all();
    ASSERT_EQ(seeded.size(), 2u);
    EXPECT_EQ(seeded[0].summary(), ImageOps::canWrite("webp") ? "WEBP · 80% · max 1600px · no metadata" : "JPG · 80% · max 1600px · no metadata");
    EXPECT_EQ(seeded[1].summary(), "MP4 · 720p · small size");
    EXPECT_NE(seeded[0].id, seeded[1].id);
    EXPECT_FALSE(seeded[0].id.isNull());

    PresetStore::seedIfNeeded();
    EXPECT_EQ(PresetStore::all(), seeded);
    PresetStore::setAll({});
    PresetStore::seedIfNeeded();
    EXPECT_EQ(stored("presets"), "[]");
}

TEST_F(PresetStoreTest, OffersOnlyPresetsOfTheFileKindWhoseFormatCanBeWritten)
{
    Preset image = make(Preset::Kind::image, "png"), video = make(Preset::Kind::video, "mp4"), audio = make(Preset::Kind::audio, "m4a");
    Preset unwritable = make(Preset::Kind::image, "bmp");
    PresetStore::setAll({image, video, unwritable, audio});
    EXPECT_EQ(PresetStore::presets(FileKind::image), std::vector<Preset>{image});
    EXPECT_EQ(PresetStore::presets(FileKind::video), std::vector<Preset>{video});
    EXPECT_EQ(PresetStore::presets(FileKind::audio), std::vector<Preset>{audio});
    EXPECT_TRUE(PresetStore::presets(FileKind::document).empty());
    // Hidden, never removed.
    EXPECT_EQ(PresetStore::all().size(), 4u);
}

// Unreadable data reads as nothing, is never seeded over, and is kept aside before a write
// replaces it.
TEST_F(PresetStoreTest, UnreadableDataIsKeptBeforeItIsReplaced)
{
    const std::string damaged = R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"Mine"}])";
    for (const char* key : {"presets", "watchFolders"}) Settings::setValue(key, QByteArray::fromStdString(damaged));
    EXPECT_TRUE(PresetStore::all().empty());
    EXPECT_TRUE(WatchStore::all().empty());
    PresetStore::seedIfNeeded();
    EXPECT_EQ(stored("presets"), damaged);

    PresetStore::setAll({make(Preset::Kind::image, "png")});
    WatchStore::setAll({});
    PresetStore::setAll({});
    const Path folder = QFileInfo(Settings::fileName()).absolutePath().toStdString();
    EXPECT_EQ(readFile(folder / "presets (unreadable).json"), damaged);
    EXPECT_EQ(readFile(folder / "watchFolders (unreadable).json"), damaged);
    EXPECT_FALSE(std::filesystem::exists(folder / "presets (unreadable) 2.json"));
    EXPECT_EQ(PresetStore::all().size(), 0u);
}

TEST(WatchStoreJSON, WritesTheFourKeysInOrder)
{
    const WatchRule rule{QUuid::fromString(QStringLiteral("00000000-0000-0000-0000-000000000001")), "/home/ann/In",
                         QUuid::fromString(QStringLiteral("00000000-0000-0000-0000-000000000002")), false};
    const std::string json = WatchStore::encode({rule});
    EXPECT_EQ(json, R"([{"id":"00000000-0000-0000-0000-000000000001","path":"/home/ann/In","presetID":"00000000-0000-0000-0000-000000000002","enabled":false}])");
    EXPECT_EQ(WatchStore::decode(json), std::vector<WatchRule>{rule});
    EXPECT_FALSE(WatchStore::decode(R"([{"id":"00000000-0000-0000-0000-000000000001","path":"/x","enabled":true}])"));
}
