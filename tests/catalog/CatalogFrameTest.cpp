#include "TestSupport.h"

#include "catalog/CatalogFrame.h"
#include "core/Errors.h"

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

TEST(CatalogFrame, EachStopsAtTheFirstFailure)
{
    TempDir dir;
    std::vector<Path> touched;
    const RunFn run = Catalog::each([&](const Path& url) {
        touched.push_back(url);
        if (url.filename() == "2") throw KError("Second one is broken");
        writeFile(dir / (url.filename().string() + ".out"), "ok");
        return dir / (url.filename().string() + ".out");
    });
    EXPECT_EQ(errorOf([&] { run({"/in/1", "/in/2", "/in/3"}); }), "Second one is broken");
    EXPECT_EQ(touched, (Paths{"/in/1", "/in/2"}));
    EXPECT_TRUE(std::filesystem::exists(dir / "1.out"));
    EXPECT_TRUE(run({}).outputs.empty());
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
