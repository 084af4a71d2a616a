#include "TestSupport.h"
#include "wheel/WheelView.h"

#include <QImage>

using TestSupport::FreshHome;

namespace {
constexpr double scale = 2;
const QPointF centre(188, 188);

// The colour of the picture at a point given in view points, without premultiplication.
QColor at(const QImage& picture, QPointF p) { return picture.pixelColor((p * scale).toPoint()).toRgb(); }

// The wheel drawn at full size after its animations, or, when appear is given, with the
// wheel closing and that far from gone.
QImage draw(const WheelOptions& options, bool dark, int hover, std::optional<double> appear = {})
{
    WheelView view;
    view.resize(376, 376);
    view.setDarkAppearance(dark);
    view.configure(WheelMode::convert, options, "photo.jpg", 0, 1);
    view.setDebugHover(hover);
    view.finishAnimations();
    if (appear) {
        view.setAppearTarget(0);
        view.setAppear(*appear);
    }
    return view.picture(scale).convertToFormat(QImage::Format_ARGB32);
}

void expectGrey(const QColor& colour, double grey, const char* what)
{
    for (double v : {colour.redF(), colour.greenF(), colour.blueF()}) EXPECT_NEAR(v, grey, 0.012) << what;
}
}

TEST_F(FreshHome, WheelPictureShowsDiscSlicesAndAccent)
{
    const WheelOptions options = {{.title = "PNG"}, {.title = "JPG"}, {.title = "Crop", .symbol = "crop"}, {.title = "HEIC"}};
    for (bool dark : {false, true}) {
        const QImage picture = draw(options, dark, 1);
        ASSERT_EQ(picture.size(), QSize(752, 752));
        SCOPED_TRACE(dark ? "dark" : "light");

        const QColor rim = at(picture, centre - QPointF(0, 154));
        expectGrey(rim, dark ? 0.13 : 0.925, "disc near the rim");
        EXPECT_GT(rim.alphaF(), 0.95);

        // The hovered slice (right) glows in the accent; the slice opposite stays grey.
        const QColor hovered = at(picture, centre + QPointF(130, 25));
        EXPECT_NEAR(hovered.redF(), 0.925, 0.03);
        EXPECT_NEAR(hovered.greenF(), 0.37, 0.03);
        EXPECT_NEAR(hovered.blueF(), 0.17, 0.03);
        expectGrey(at(picture, centre + QPointF(-130, 25)), dark ? 0.215 : 0.952, "plain slice");

        for (QPointF corner : {QPointF(0, 0), QPointF(375, 0), QPointF(0, 375), QPointF(375, 375), QPointF(1, 188)}) EXPECT_EQ(at(picture, corner).alpha(), 0);
    }
}

TEST_F(FreshHome, ClosingWheelFadesAsAWhole)
{
    const WheelOptions options = {{.title = "PNG"}, {.title = "JPG"}, {.title = "GIF"}};
    const QImage picture = draw(options, false, -1, 0.5);
    // Closing shrinks the wheel to 0.96 at this point, so the disc ends at 150.7.
    EXPECT_NEAR(at(picture, centre - QPointF(0, 148)).alphaF(), 0.49, 0.02);
    EXPECT_LT(at(picture, centre - QPointF(0, 154)).alphaF(), 0.05);
    // One layer: a slice over the disc is as transparent as the disc alone.
    EXPECT_NEAR(at(picture, centre - QPointF(0, 110)).alphaF(), 0.5, 0.02);
    EXPECT_EQ(at(draw(options, false, -1, 0), centre - QPointF(0, 110)).alpha(), 0);
}

TEST_F(FreshHome, RenderWheelWritesANewPictureOnly)
{
    TestSupport::TempDir dir;
    const Path out = dir / "wheel.png";
    TestSupport::writeFile(dir / "photo.png", "");
    std::filesystem::create_directory(dir / "folder");
    // A folder's convert page has two slices (ZIP, TAR.GZ): the lower one is lit halfway.
    auto result = TestSupport::runVarnolt({"--render-wheel", "convert", out.string(), (dir / "folder").string(),
                                           "--hover", "1", "--page", "x", "--glow", "0.5"});
    EXPECT_EQ(result.status, 0) << result.out;
    QImage light(QString::fromStdString(out.string()));
    ASSERT_EQ(light.size(), QSize(752, 752));
    expectGrey(light.pixelColor(376, 68).toRgb(), 0.925, "light rim");
    const QColor lit = light.pixelColor(376, 376 + 280).toRgb();
    EXPECT_GT(lit.redF(), lit.greenF() + 0.15);

    result = TestSupport::runVarnolt({"--render-wheel", "tools", out.string(), "photo.png"}, {{"QUINDLE_DARK", "1"}});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "ERROR: wheel.png already exists — choose another name\n");

    const Path dark = dir / "dark.png";
    result = TestSupport::runVarnolt({"--render-wheel", "actions", dark.string(), "photo.png"}, {{"QUINDLE_DARK", ""}});
    EXPECT_EQ(result.status, 0) << result.out;
    expectGrey(QImage(QString::fromStdString(dark.string())).pixelColor(376, 68).toRgb(), 0.13, "dark rim");

    result = TestSupport::runVarnolt({"--render-wheel", "actions", (dir / "missing" / "x.png").string(), "photo.png"});
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}
