#include "ImageSamples.h"

#include "TestSupport.h"
#include "core/Output.h"
#include "catalog/Catalog.h"
#include "media/ImageOps.h"

#include <gtest/gtest.h>

#include <set>

using namespace ImageSamples;
using TestSupport::TempDir;

namespace {
// The options' titles in order; only those in `only` when it is given.
std::vector<std::string> titles(const WheelOptions& options, const std::set<std::string>& only = {})
{
    std::vector<std::string> names;
    for (const WheelOption& o : options) {
        if (only.empty() || only.count(o.title)) names.push_back(o.title);
    }
    return names;
}

// The image targets this machine can write, without the one named.
std::vector<std::string> writableTargetsBut(const std::string& left)
{
    std::vector<std::string> names;
    for (const std::string ext : {"png", "jpg", "heic", "webp", "avif", "tiff", "gif", "bmp", "pdf", "ico"}) {
        if (ext != left && ImageOps::canWrite(ext)) names.push_back(upperAscii(ext));
    }
    return names;
}
}

class ImageRows : public TestSupport::FreshHome {};

TEST_F(ImageRows, PagesLeaveOutTheSelectionsOwnFormatAndOfferTheImageTools)
{
    EXPECT_EQ(titles(Catalog::convertOptions(FileKind::image, {"/a/cat.png", "/a/dog.PNG"})), writableTargetsBut("png"));
    EXPECT_EQ(titles(Catalog::convertOptions(FileKind::image, {"/a/photo.tif"})), writableTargetsBut("tiff"));
    EXPECT_EQ(titles(Catalog::convertOptions(FileKind::image, {"/a/photo.jpeg"})), writableTargetsBut("jpg"));

    const std::vector<std::string> tools = {"Compress", "Fit 1 MB", "Resize", "Rotate", "Flip", "Grayscale", "Metadata", "PDF"};
    EXPECT_EQ(titles(Catalog::toolOptions(FileKind::image, {"/a/cat.png"}), {tools.begin(), tools.end()}), tools);
    const auto three = Catalog::toolOptions(FileKind::image, {"/a/1.png", "/a/2.png", "/a/3.png"});
    EXPECT_EQ(titles(three, {"Metadata", "PDF", "Combine"}), (std::vector<std::string>{"Metadata", "Combine"}));
}

TEST_F(ImageRows, ImageToolsKeepTheFormatAndNameTheResult)
{
    TempDir dir;
    save(noise(64, 40), dir / "cat.webp");
    const WheelOptions tools = Catalog::toolOptions(FileKind::image, {dir / "cat.webp"});
    const auto run = [&](const std::string& title) { return option(tools, title).run({dir / "cat.webp"}).outputs.at(0); };
    EXPECT_EQ(run("Rotate").filename(), "cat (rotated).webp");
    EXPECT_EQ(run("Flip").filename(), "cat (flipped).webp");
    EXPECT_EQ(run("PDF").filename(), "cat.pdf");
    const Path gray = run("Grayscale");
    EXPECT_EQ(gray.filename(), "cat (grayscale).webp");
    const auto pixel = open(gray).getpoint(10, 10);
    EXPECT_EQ(pixel[0], pixel[1]);

    // Resize rounds odd sides up and halves a turned photo as it is seen, keeping its tags.
    save(noise(301, 201), dir / "odd.jpg");
    const Path turned = cameraPhoto(dir.path());
    const Paths halves = option(tools, "Resize").run({dir / "cat.webp", dir / "odd.jpg", turned}).outputs;
    ASSERT_EQ(halves.size(), 3u);
    EXPECT_EQ(halves[0].filename(), "cat (50%).webp");
    EXPECT_EQ(open(halves[1]).width(), 151);
    EXPECT_EQ(open(halves[1]).height(), 101);
    EXPECT_EQ(open(halves[2]).width(), 100);
    EXPECT_EQ(open(halves[2]).height(), 150);
    EXPECT_EQ(tags(halves[2])["Make"], "Canon");
}

TEST_F(ImageRows, CommandLineConvertsFitsAndLists)
{
    TempDir dir;
    save(noise(120, 80), dir / "a.jpg");
    save(noise(90, 60), dir / "-b.jpg");
    auto result = TestSupport::runVarnolt({"--run", "convert", "webp", "a.jpg", "-b.jpg"}, {}, dir.path());
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out, (dir / "a.webp").string() + "\n" + (dir / "-b.webp").string() + "\n");

    save(noise(1000, 800), dir / "big.png");
    result = TestSupport::runVarnolt({"--run", "tools", "fit 1 mb", "big.png"}, {}, dir.path());
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out, (dir / "big (1 MB).jpg").string() + "\n");
    EXPECT_LE(Output::size(dir / "big (1 MB).jpg"), 1'000'000);
    result = TestSupport::runVarnolt({"--run", "tools", "fit 1 mb", "a.jpg"}, {}, dir.path());
    EXPECT_EQ(result.out, "Already under 1 MB — nothing to do\n");

    result = TestSupport::runVarnolt({"--list", "photo.heic"}, {}, dir.path());
    std::string expected;
    for (const std::string& title : writableTargetsBut("heic")) expected += (expected.empty() ? "" : ", ") + title;
    EXPECT_NE(result.out.find("Convert: " + expected + "\n"), std::string::npos) << result.out;
}
