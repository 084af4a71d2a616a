#include "ImageSamples.h"

#include "TestSupport.h"
#include "core/Output.h"
#include "core/catalog/Catalog.h"
#include "media/ImageOps.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ImageSamples;
using TestSupport::TempDir;

namespace {
std::vector<std::string> titles(const WheelOptions& options)
{
    std::vector<std::string> names;
    for (const WheelOption& o : options) names.push_back(o.title);
    return names;
}

// The image targets this machine can write, without those named.
std::vector<std::string> writableTargetsBut(const std::set<std::string>& left)
{
    std::vector<std::string> names;
    for (const std::string ext : {"png", "jpg", "heic", "webp", "avif", "tiff", "gif", "bmp", "pdf", "ico"}) {
        if (!left.count(ext) && ImageOps::canWrite(ext)) names.push_back(upperAscii(ext));
    }
    return names;
}

bool inOrder(const std::vector<std::string>& list, const std::vector<std::string>& expected)
{
    auto at = list.begin();
    for (const std::string& name : expected) {
        at = std::find(at, list.end(), name);
        if (at == list.end()) return false;
    }
    return true;
}
}

class ImageRows : public TestSupport::FreshHome {};

TEST_F(ImageRows, ConvertPageLeavesOutTheSelectionsOwnFormats)
{
    EXPECT_EQ(titles(Catalog::convertOptions(FileKind::image, {"/a/cat.png", "/a/dog.PNG"})), writableTargetsBut({"png"}));
    EXPECT_EQ(titles(Catalog::convertOptions(FileKind::image, {"/a/photo.tif"})), writableTargetsBut({"tiff"}));
    EXPECT_EQ(titles(Catalog::convertOptions(FileKind::image, {"/a/photo.jpeg"})), writableTargetsBut({"jpg"}));
    const auto heic = titles(Catalog::convertOptions(FileKind::image, {"/a/photo.heic"}));
    EXPECT_TRUE(inOrder(heic, {"PNG", "JPG", "WEBP", "PDF"}));
    EXPECT_EQ(std::count(heic.begin(), heic.end(), "HEIC"), 0);
}

TEST_F(ImageRows, ToolsPageOffersTheImageTools)
{
    const std::vector<std::string> one = titles(Catalog::toolOptions(FileKind::image, {"/a/cat.png"}));
    EXPECT_TRUE(inOrder(one, {"Compress", "Fit 1 MB", "Resize", "Rotate", "Flip", "Grayscale", "Metadata", "PDF"}));
    const std::vector<std::string> three = titles(Catalog::toolOptions(FileKind::image, {"/a/1.png", "/a/2.png", "/a/3.png"}));
    EXPECT_TRUE(inOrder(three, {"Metadata", "Combine"}));
    EXPECT_EQ(std::count(three.begin(), three.end(), "PDF"), 0);
}

TEST_F(ImageRows, ImageToolsKeepTheFormatAndNameTheResult)
{
    TempDir dir;
    save(noise(64, 40), dir / "cat.webp");
    const Paths files = {dir / "cat.webp"};
    const WheelOptions tools = Catalog::toolOptions(FileKind::image, files);
    const auto run = [&](const std::string& title) {
        for (const WheelOption& o : tools) {
            if (o.title == title) return o.run(files).outputs.at(0);
        }
        throw std::runtime_error("no " + title);
    };
    const Path half = run("Resize");
    EXPECT_EQ(half.filename(), "cat (50%).webp");
    EXPECT_EQ(open(half).width(), 32);
    EXPECT_EQ(run("Rotate").filename(), "cat (rotated).webp");
    EXPECT_EQ(run("Flip").filename(), "cat (flipped).webp");
    const Path gray = run("Grayscale");
    EXPECT_EQ(gray.filename(), "cat (grayscale).webp");
    const auto pixel = open(gray).getpoint(10, 10);
    EXPECT_EQ(pixel[0], pixel[1]);
    EXPECT_EQ(run("PDF").filename(), "cat.pdf");
}

TEST_F(ImageRows, CommandLineConvertsFitsAndLists)
{
    TempDir dir;
    save(noise(120, 80), dir / "a.jpg");
    save(noise(90, 60), dir / "-b.jpg");
    auto result = TestSupport::runVarnolt({"--run", "convert", "webp", "a.jpg", "-b.jpg"}, {}, dir.path());
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out, (dir / "a.webp").string() + "\n" + (dir / "-b.webp").string() + "\n");
    EXPECT_EQ(open(dir / "-b.webp").width(), 90);

    save(noise(1000, 800), dir / "big.png");
    result = TestSupport::runVarnolt({"--run", "tools", "fit 1 mb", "big.png"}, {}, dir.path());
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out, (dir / "big (1 MB).jpg").string() + "\n");
    EXPECT_LE(Output::size(dir / "big (1 MB).jpg"), 1'000'000);

    result = TestSupport::runVarnolt({"--run", "tools", "fit 1 mb", "a.jpg"}, {}, dir.path());
    EXPECT_EQ(result.out, "Already under 1 MB — nothing to do\n");

    result = TestSupport::runVarnolt({"--list", "photo.heic"}, {}, dir.path());
    std::string expected;
    for (const std::string& title : writableTargetsBut({"heic"})) expected += (expected.empty() ? "" : ", ") + title;
    EXPECT_NE(result.out.find("Convert: " + expected + "\n"), std::string::npos) << result.out;
}

TEST_F(ImageRows, ResizeHalvesJpegsToTheRoundedSizeEvenWhenTurned)
{
    TempDir dir;
    save(noise(301, 201), dir / "odd.jpg");
    const Path turned = cameraPhoto(dir.path());
    const WheelOptions tools = Catalog::toolOptions(FileKind::image, {turned});
    const WheelOption* resize = nullptr;
    for (const WheelOption& o : tools) {
        if (o.title == "Resize") resize = &o;
    }
    ASSERT_TRUE(resize);
    const Paths outputs = resize->run({dir / "odd.jpg", turned}).outputs;
    ASSERT_EQ(outputs.size(), 2u);
    EXPECT_EQ(open(outputs[0]).width(), 151);
    EXPECT_EQ(open(outputs[0]).height(), 101);
    EXPECT_EQ(outputs[1].filename(), "photo (50%).jpg");
    EXPECT_EQ(open(outputs[1]).width(), 100);
    EXPECT_EQ(open(outputs[1]).height(), 150);
    EXPECT_EQ(tags(outputs[1])["Make"], "Canon");
}
