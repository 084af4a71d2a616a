#include "TestSupport.h"

#include "core/FileKind.h"
#include "core/WheelMode.h"

using namespace TestSupport;

TEST(FileKind, ClassifiesByExtensionInRuleOrder)
{
    const std::vector<std::pair<const char*, FileKind>> cases = {
        {"Photo.JPG", FileKind::image},     {"clip.MOV", FileKind::video},      {"notes", FileKind::other},
        {"drawing.svg", FileKind::image},   {"book.epub", FileKind::ebook},     {"movie.srt", FileKind::subtitle},
        {"backup.tar.gz", FileKind::archive}, {"report.pdf", FileKind::pdf},    {"data.CSV", FileKind::spreadsheet},
        {"talk.key", FileKind::slides},     {"budget.numbers", FileKind::spreadsheet}, {"letter.pages", FileKind::document},
        {"stream.ts", FileKind::video},     {"song.flac", FileKind::audio},     {"photo.heic", FileKind::image},
        {"scan.tif", FileKind::image},      {"voice.mp2", FileKind::audio},     {"setup.exe", FileKind::other},
        {"anim.webp", FileKind::image},     {"film.divx", FileKind::video},     {"readme.weirdext", FileKind::other},
    };
    for (const auto& [name, kind] : cases) {
        EXPECT_EQ(FileKinds::rawValue(FileKinds::of(Path("/nowhere") / name)), FileKinds::rawValue(kind)) << name;
    }
}

TEST(FileKind, DirectoriesAreFoldersUnlessTheyAreBundles)
{
    TempDir dir;
    for (const char* name : {"Report.pages", "Deck.key", "Photos.jpg", "Inbox"}) std::filesystem::create_directory(dir / name);
    EXPECT_EQ(FileKinds::of(dir / "Report.pages"), FileKind::document);
    EXPECT_EQ(FileKinds::of(dir / "Deck.key"), FileKind::slides);
    EXPECT_EQ(FileKinds::of(dir / "Photos.jpg"), FileKind::folder);
    EXPECT_EQ(FileKinds::of(dir / "Inbox"), FileKind::folder);
}

TEST(FileKind, RawValuesParseExactly)
{
    EXPECT_EQ(FileKinds::fromRawValue("slides"), FileKind::slides);
    EXPECT_FALSE(FileKinds::fromRawValue("Slides"));
    for (FileKind kind : FileKinds::allCases()) EXPECT_EQ(FileKinds::fromRawValue(FileKinds::rawValue(kind)), kind);

    EXPECT_FALSE(WheelModes::fromRawValue(3));
    EXPECT_EQ(WheelModes::fromRawValue(1), WheelMode::tools);
    EXPECT_EQ(WheelModes::fromWord("actions"), WheelMode::actions);
    EXPECT_FALSE(WheelModes::fromWord("Convert"));
}
