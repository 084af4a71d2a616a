#pragma once
#include <QFont>
#include <QStaticText>
#include <QString>

class QPaintDevice;
class QPainter;

// A text laid out once in its font and drawn many times.
struct FittedText {
    QFont font;
    QStaticText layout;
    double width = 0;  // visible width, without the spacing after the last letter
    double ascent = 0;
    double capHeight = 0;
};

namespace WheelText {
// A font of `size` points (widget pixels) in the desktop's family, whatever the device's dpi.
QFont font(double size, QFont::Weight weight, double kern, const QPaintDevice* device);
FittedText prepare(const QString& text, const QFont& font, const QPaintDevice* device);
// The text at `size`, shrunk by half points while wider than maxWidth and above `floor`;
// a text still too wide at `floor` ends in an ellipsis.
FittedText fit(const QString& text, double size, double floor, QFont::Weight weight, double kern, double maxWidth,
               const QPaintDevice* device);
// Draws the text with its baseline at `baseline` and its left end at `left`.
void draw(QPainter& painter, const FittedText& text, double left, double baseline);
// Draws the text with its capital letters centred on `at`.
void drawCentred(QPainter& painter, const FittedText& text, QPointF at);
}
