#include "TestSupport.h"

#include "ImageSamples.h"
#include "catalog/CatalogFrame.h"
#include "core/Errors.h"
#include "core/Output.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace TestSupport;

namespace {
Paths paths(std::initializer_list<const char*> names)
{
    Paths out;
    for (const char* n : names) out.emplace_back(Path("/nowhere") / n);
    return out;
}
}

TEST(CatalogFrame, KindSummaryAndSameExtOfASelection)
{
    EXPECT_EQ(Catalog::kindOf(paths({"a.png", "b.png", "c.jpg"})), FileKind::image);
    EXPECT_EQ(Catalog::kindOf(paths({"a.png", "b.mp4"})), FileKind::other);
    EXPECT_EQ(Catalog::kindOf(paths({"b.pdf", "a.png"})), FileKind::other);
    EXPECT_EQ(Catalog::summary(paths({"Holiday.MOV"})), "Holiday.MOV");
    EXPECT_EQ(Catalog::summary(paths({"a.mp3", "b.mp3"})), "2 audios");
    EXPECT_EQ(Catalog::summary(paths({"a.srt", "b.vtt", "c.srt", "d.srt"})), "4 subtitles");
    EXPECT_EQ(Catalog::summary(paths({"a.pdf", "b.pdf"})), "2 pdfs");
    EXPECT_EQ(Catalog::summary(paths({"a.key", "b.pptx"})), "2 presentations");
    EXPECT_EQ(Catalog::summary(paths({"a.pdf", "b.png", "c.txt", "d.mp3", "e.zip"})), "5 items");
    EXPECT_EQ(Catalog::summary({}), "0 items");
    TempDir dir;
    std::filesystem::create_directory(dir / "x");
    std::filesystem::create_directory(dir / "y");
    EXPECT_EQ(Catalog::summary({dir / "x", dir / "y"}), "2 folders");

    EXPECT_EQ(Catalog::sameExt(paths({"IMG.JPEG", "b.jpg"})), std::set<std::string>{"jpg"});
    EXPECT_EQ(Catalog::sameExt(paths({"a.PNG", "b.tar.gz"})), (std::set<std::string>{"png", "gz"}));
}

TEST(CatalogFrame, FormatOptionsAndTheCutToTwelve)
{
    std::vector<std::string> exts;
    for (int i = 0; i < 14; ++i) exts.push_back("e" + std::to_string(i));
    WheelOptions options = Catalog::formatOptions(exts, [](const Path& url, const std::string& ext) { return Path(url.string() + "." + ext); });
    ASSERT_EQ(options.size(), 14u);
    EXPECT_EQ(options[0].title, "E0");
    EXPECT_FALSE(options[0].symbol);
    EXPECT_FALSE(options[0].isAction || options[0].isInteractive);
    EXPECT_EQ(options[3].run({"/a", "/b"}).outputs, (Paths{"/a.e3", "/b.e3"}));
    Catalog::cutToTwelve(options);
    ASSERT_EQ(options.size(), 12u);
    EXPECT_EQ(options.back().title, "E11");
}

// Photos converted several at once must come out as a one-at-a-time run leaves them.
TEST(CatalogFrame, EachRunsABatchWithTheResultOfOneFileAfterAnother)
{
    TempDir dir;
    const std::string jpeg = ImageSamples::writtenJPEG(ImageSamples::noise(64, 48));
    Paths photos;
    for (int i = 1; i <= 5; ++i) {
        photos.push_back(dir / (std::to_string(i) + ".jpg"));
        writeFile(photos.back(), jpeg);
    }
    const WheelOption png = Catalog::formatOptions({"png"}, ImageOps::convert).front();
    Paths expected;
    for (int i = 1; i <= 5; ++i) expected.push_back(dir / (std::to_string(i) + ".png"));
    EXPECT_EQ(png.run(photos).outputs, expected);
    for (const Path& out : expected) std::filesystem::remove(out);

    writeFile(photos[2], jpeg.substr(0, 600));
    EXPECT_EQ(errorOf([&] { png.run(photos); }), "Couldn't read 3.jpg as an image");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(std::filesystem::exists(expected[i]), i < 2) << expected[i];
    EXPECT_TRUE(png.run({}).outputs.empty());
}

// What the real files leave to chance, forced: the second file asks for the name both want
// before the first does, and a later file ends before the failing one.
TEST(CatalogFrame, EachHandsOutNamesInOrderAndUndoesWhatFollowsAFailure)
{
    if (Batch::filesAtOnce(5, Batch::Load::light) < 2) GTEST_SKIP() << "one file at a time on this machine";
    TempDir dir;
    std::mutex mutex;
    std::condition_variable changed;
    std::set<std::string> finished;
    const auto waitFor = [&](const std::string& name) {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(1), [&] { return finished.count(name) > 0; });
    };
    const auto note = [&](const std::string& name) {
        const std::lock_guard lock(mutex);
        finished.insert(name);
        changed.notify_all();
    };
    std::atomic<int> alone = 0;
    const RunFn run = Catalog::each([&](const Path& url) {
        const std::string name = url.filename().string();
        // Encoders take threads of their own only when no other file shares the cores.
        alone += Batch::alone();
        if (name == "1") waitFor("2");
        if (name == "3") {
            waitFor("4");
            throw KError("Third one is broken");
        }
        Output::Pending out(Output::unique(dir.path(), "same", "txt"));
        writeFile(out.path(), name);
        note(name);
        return out.keep();
    });
    EXPECT_EQ(run(paths({"1", "2"})).outputs, (Paths{dir / "same.txt", dir / "same 2.txt"}));
    EXPECT_EQ(readFile(dir / "same.txt"), "1");

    finished.clear();
    EXPECT_EQ(errorOf([&] { run(paths({"1", "2", "3", "4", "5"})); }), "Third one is broken");
    EXPECT_EQ(readFile(dir / "same 3.txt"), "1");
    EXPECT_EQ(readFile(dir / "same 4.txt"), "2");
    EXPECT_FALSE(std::filesystem::exists(dir / "same 5.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "same 6.txt"));
    EXPECT_EQ(alone, 0);
    run(paths({"alone"}));
    EXPECT_EQ(alone, 1);
}

TEST(CatalogFrame, FitOptionMessages)
{
    const auto fit = Catalog::fitOption("Fit 25 MB", 25'000'000, [](const Path& url, std::int64_t max) -> std::optional<Path> {
        EXPECT_EQ(max, 25'000'000);
        if (url.filename().string().starts_with("small")) return std::nullopt;
        return Path(url.string() + ".fit");
    });
    EXPECT_EQ(fit.symbol, "gauge.with.dots.needle.33percent");

    OptionResult all = fit.run({"/small1", "/small2"});
    EXPECT_TRUE(all.outputs.empty());
    EXPECT_EQ(all.message, "Already under 25 MB — nothing to do");
    EXPECT_EQ(fit.run({}).message, "Already under 25 MB — nothing to do");

    OptionResult some = fit.run({"/big1", "/small", "/big2"});
    EXPECT_EQ(some.outputs, (Paths{"/big1.fit", "/big2.fit"}));
    EXPECT_EQ(some.message, "1 already fit and were left alone");
    EXPECT_FALSE(fit.run({"/big1"}).message);
}
