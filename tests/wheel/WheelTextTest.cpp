#include "wheel/WheelText.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {
double points(const FittedText& text, const QImage& device)
{
    return text.font.pointSizeF() * device.logicalDpiY() / 72;
}

FittedText fit(const QString& text, double size, double maxWidth, const QImage& device)
{
    return WheelText::fit(text, size, 7.5, QFont::DemiBold, 0.4, maxWidth, &device);
}
}

TEST(WheelText, TitlesShrinkByHalfPointsThenEndInAnEllipsis)
{
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    const FittedText fits = fit("PNG", 17, 100, device);
    EXPECT_DOUBLE_EQ(points(fits, device), 17);
    EXPECT_EQ(fits.layout.text(), "PNG");

    // Exactly as wide as at 12 points: shrinks from 17 in half points to 12 and no further.
    const double at12 = fit("GRAYSCALE", 12, 1000, device).width;
    const FittedText shrunk = fit("GRAYSCALE", 17, at12, device);
    EXPECT_DOUBLE_EQ(points(shrunk, device), 12);
    EXPECT_LE(shrunk.width, at12);

    const FittedText cut = fit("HOLIDAY PHOTOS FOR THE FAMILY ALBUM", 10, 62, device);
    EXPECT_DOUBLE_EQ(points(cut, device), 7.5);
    EXPECT_LE(cut.width, 62);
    EXPECT_TRUE(cut.layout.text().startsWith("HOLIDAY")) << cut.layout.text().toStdString();
    EXPECT_TRUE(cut.layout.text().endsWith(QChar(0x2026))) << cut.layout.text().toStdString();
}
