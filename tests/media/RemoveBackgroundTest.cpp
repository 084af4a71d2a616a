#include "ImageSamples.h"

#include "TestSupport.h"
#include "media/VisionOps.h"

#include <cstdlib>

using namespace ImageSamples;
using namespace TestSupport;

namespace {
// A stand-in for the subject model (made by tests/data/media/make-subject-model.py): a red
// subject scores near 1, anything else near 0.
class RemoveBackground : public ::testing::Test {
protected:
    TempDir dir;
    Path model = dir / "subject.onnx";
    void SetUp() override { std::filesystem::copy_file(Path(VARNOLT_TEST_DATA) / "media/subject.onnx", model); use(model); }
    void TearDown() override { unsetenv("VARNOLT_SUBJECT_MODEL"); }
    void use(const Path& file) { setenv("VARNOLT_SUBJECT_MODEL", file.c_str(), 1); }
};

// Grass-like grain in greens and blues, with a red disc of the radius in the middle.
Image photo(int width, int height, int radius)
{
    const Image lawn = noise(width, height).linear({0.3, 0.5, 0.5}, {20, 110, 90}).cast(VIPS_FORMAT_UCHAR);
    const Image xy = Image::xyz(width, height) - std::vector<double>{width / 2.0, height / 2.0};
    const Image inside = (xy * xy).bandmean() * 2 < double(radius) * radius;
    return inside.ifthenelse(std::vector<double>{220, 30, 30}, lawn).cast(VIPS_FORMAT_UCHAR).copy(Image::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

double alphaAt(const Image& image, int x, int y) { return image.getpoint(x, y).back(); }
}

TEST_F(RemoveBackground, KeepsTheSubjectOpaqueAndTheBackgroundTransparentAtFullSize)
{
    photo(4000, 3000, 900).write_to_file((dir / "ball.jpg").c_str());
    const Path out = VisionOps::removeBackground(dir / "ball.jpg");
    EXPECT_EQ(out.filename(), "ball (no background).png");
    const Image cut = open(out);
    ASSERT_EQ(std::tuple(cut.width(), cut.height(), cut.bands()), std::tuple(4000, 3000, 4));
    for (auto [x, y] : {std::pair{2000, 1500}, {2000 + 870, 1500}, {2000, 1500 - 870}}) EXPECT_GE(alphaAt(cut, x, y), 250) << x << "," << y;
    for (auto [x, y] : {std::pair{0, 0}, {3999, 2999}, {2000 + 930, 1500}, {20, 1500}}) EXPECT_LE(alphaAt(cut, x, y), 5) << x << "," << y;
    // The subject keeps its colour.
    EXPECT_NEAR(cut.getpoint(2000, 1500)[0], 220, 8);
}

TEST_F(RemoveBackground, PictureWithoutSubjectWritesNothing)
{
    save(noise(400, 300).linear({0.3, 0.5, 0.5}, {20, 110, 90}).cast(VIPS_FORMAT_UCHAR), dir / "lawn.png");
    EXPECT_EQ(errorOf([&] { VisionOps::removeBackground(dir / "lawn.png"); }), "Couldn't find a subject in lawn.png");
    EXPECT_FALSE(std::filesystem::exists(dir / "lawn (no background).png"));
}

TEST_F(RemoveBackground, MissingOrDamagedModelTakesTheOptionAway)
{
    EXPECT_TRUE(VisionOps::canRemoveBackground());
    use(dir / "absent.onnx");
    EXPECT_FALSE(VisionOps::canRemoveBackground());
    writeFile(dir / "page.onnx", "<html>not found</html>");
    use(dir / "page.onnx");
    EXPECT_FALSE(VisionOps::canRemoveBackground());

    // Cut short while downloading: it looks like a model until it is loaded, once.
    std::string start = readFile(model);
    writeFile(dir / "cut.onnx", start.substr(0, start.size() / 2));
    use(dir / "cut.onnx");
    EXPECT_TRUE(VisionOps::canRemoveBackground());
    save(photo(300, 200, 50), dir / "ball.png");
    EXPECT_EQ(errorOf([&] { VisionOps::removeBackground(dir / "ball.png"); }), "Remove Background needs its subject model — run scripts/setup again");
    EXPECT_FALSE(VisionOps::canRemoveBackground());
    EXPECT_EQ(listFolder(dir.path()), (Names{"ball.png", "cut.onnx", "page.onnx", "subject.onnx"}));
}
