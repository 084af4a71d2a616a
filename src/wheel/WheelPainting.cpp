// Drawing the wheel: disc, slices, labels and hub, for one frame of its animations.
#include "wheel/Symbols.h"
#include "wheel/WheelGeometry.h"
#include "wheel/WheelView.h"

#include "core/Settings.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {
constexpr double pi = std::numbers::pi;

// A font of `size` points (widget pixels) of the desktop's family, whatever the device's dpi.
QFont wheelFont(double size, QFont::Weight weight, double kern, const QPaintDevice* device)
{
    QFont font;
    font.setWeight(weight);
    font.setPointSizeF(size * 72.0 / device->logicalDpiY());
    font.setLetterSpacing(QFont::AbsoluteSpacing, kern);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

struct FittedText {
    QFont font;
    double width = 0;
    double capHeight = 0;
};

// The text at `size`, shrunk by half points while wider than maxWidth and above `floor`.
FittedText fitText(const QString& text, double size, double floor, QFont::Weight weight, double kern,
                   double maxWidth, const QPaintDevice* device)
{
    while (true) {
        const QFont font = wheelFont(size, weight, kern, device);
        const QFontMetricsF metrics(font, device);
        // Letter spacing also follows the last letter; it is no part of the visible width.
        const double width = metrics.horizontalAdvance(text) - kern;
        if (width <= maxWidth || size <= floor) return {font, width, metrics.capHeight()};
        size -= 0.5;
    }
}

// Draws text with its capital letters centred vertically on `at`.
void drawCentred(QPainter& painter, const FittedText& fitted, const QString& text, QPointF at)
{
    painter.setFont(fitted.font);
    painter.drawText(QPointF(at.x() - fitted.width / 2, at.y() + fitted.capHeight / 2), text);
}

QString shownTitle(const WheelOption& option)
{
    const QString title = QString::fromStdString(option.title);
    return option.symbol ? title.toUpper() : title;
}

void rotateAbout(QPainter& painter, QPointF centre, double clockwise)
{
    painter.translate(centre);
    painter.rotate(clockwise * 180 / pi);
    painter.translate(-centre);
}

void scaleAbout(QPainter& painter, QPointF centre, double scale)
{
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.translate(-centre);
}
}

void WheelView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter);
}

QImage WheelView::picture(double devicePixelRatio)
{
    QImage image(QSize(std::lround(width() * devicePixelRatio), std::lround(height() * devicePixelRatio)),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter);
    return image;
}

const WheelPalette& WheelView::palette() const
{
    const bool dark = dark_ ? *dark_ : QWidget::palette().color(QPalette::Window).lightness() < 128;
    return dark ? WheelPalettes::dark() : WheelPalettes::light();
}

const QPainterPath& WheelView::segmentShape(int i, int n, double extra)
{
    const QString key = QString("%1-%2-%3-%4").arg(n).arg(i).arg(std::lround(extra * 4)).arg(width());
    auto found = shapeCache_.find(key);
    if (found == shapeCache_.end()) found = shapeCache_.emplace(key, WheelGeometry::segmentShape(i, n, extra, centre())).first;
    return found->second;
}

const Shadow& WheelView::shadow(const QString& key, const QPainterPath& shape, double blur, const QColor& colour, double dpr)
{
    const QString fullKey = key + QString("@%1").arg(dpr);
    auto found = shadowCache_.find(fullKey);
    if (found == shadowCache_.end()) found = shadowCache_.emplace(fullKey, Shadows::make(shape, blur, colour, dpr)).first;
    return found->second;
}

void WheelView::paint(QPainter& painter)
{
    double alpha = appear_;
    double scale = 0.92 + 0.08 * appear_;
    if (appearTarget_ == 1) {
        alpha = 1 - std::pow(1 - appear_, 3);
        scale = 0.82 + 0.18 * (1 + 2.2 * std::pow(appear_ - 1, 3) + 1.2 * std::pow(appear_ - 1, 2));
    }
    if (alpha < 0.001) return;
    const WheelPalette& colours = palette();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    if (alpha >= 1) {
        painter.save();
        scaleAbout(painter, centre(), scale);
        paintContent(painter, colours);
        painter.restore();
        return;
    }
    // Fading as a whole: drawn into one layer first, so that overlapping parts do not show
    // through each other.
    const double dpr = painter.device()->devicePixelRatioF();
    const QSize pixels(std::lround(width() * dpr), std::lround(height() * dpr));
    if (layer_.size() != pixels) layer_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    layer_.setDevicePixelRatio(dpr);
    layer_.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer_);
        layerPainter.setRenderHints(painter.renderHints());
        scaleAbout(layerPainter, centre(), scale);
        paintContent(layerPainter, colours);
    }
    painter.save();
    painter.setOpacity(alpha);
    painter.drawImage(QPointF(0, 0), layer_);
    painter.restore();
}

void WheelView::paintContent(QPainter& painter, const WheelPalette& colours)
{
    const QPointF c = centre();
    const double dpr = painter.device()->devicePixelRatioF();
    QPainterPath disc;
    disc.addEllipse(c, WheelGeometry::discR, WheelGeometry::discR);
    const Shadow& discShadow = shadow("disc", disc, 26, Qt::black, dpr);
    painter.save();
    painter.setOpacity(colours.discShadow);
    painter.drawImage(discShadow.origin + QPointF(0, 8), discShadow.image);
    painter.restore();
    painter.fillPath(disc, colours.disc);

    const double e = 1 - std::pow(1 - transition_, 3);
    if (outgoing_) {
        const double fading = std::max(0.0, 1 - 3.2 * transition_);
        const double rising = 1 - std::pow(1 - std::clamp(1.5 * (transition_ - 0.08), 0.0, 1.0), 3);
        if (outgoing_->kind == Kind::page) {
            paintSet(painter, colours, outgoing_->options, outgoing_->glow, {fading, 0.35 * e, 1});
            paintSet(painter, colours, options_, glow_, {rising, -0.35 * (1 - e), 1});
        } else {
            paintSet(painter, colours, outgoing_->options, outgoing_->glow, {fading, 0, 1 + 0.05 * e});
            paintSet(painter, colours, options_, glow_, {rising, 0, 0.92 + 0.08 * e});
        }
    } else {
        paintSet(painter, colours, options_, glow_, {});
    }
    paintHub(painter, colours, outgoing_ ? 0.35 + 0.65 * e : 1);
}

void WheelView::paintSet(QPainter& painter, const WheelPalette& colours, const WheelOptions& options,
                         const std::vector<double>& glow, const SetPose& pose)
{
    if (pose.alpha <= 0 || options.empty()) return;
    // The brightest slice last, so that a highlighted slice lies on top of its neighbours.
    std::vector<int> order(options.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return glow[a] < glow[b]; });
    painter.save();
    painter.setOpacity(pose.alpha);
    scaleAbout(painter, centre(), pose.scale);
    const int n = static_cast<int>(options.size());
    for (int i : order) paintSlice(painter, colours, options[i], i, n, glow[i], pose);
    painter.restore();
}

void WheelView::paintSlice(QPainter& painter, const WheelPalette& colours, const WheelOption& option, int i, int n,
                           double glow, const SetPose& pose)
{
    const QPointF c = centre();
    const double dpr = painter.device()->devicePixelRatioF();
    const double extra = glow * WheelGeometry::pop;
    const QPainterPath& outline = segmentShape(i, n, extra);
    const QString key = QString("%1-%2-%3").arg(n).arg(i).arg(std::lround(extra * 4));
    const double opacity = painter.opacity();

    // Shadows fall straight down whatever the slice's rotation.
    const auto drawShadow = [&](const Shadow& s, double offset, double alpha) {
        painter.save();
        painter.translate(0, offset);
        rotateAbout(painter, c, pose.rotation);
        painter.setOpacity(opacity * alpha);
        painter.drawImage(s.origin, s.image);
        painter.restore();
    };
    const double baseShadow = colours.segShadow * (1 - glow);
    if (baseShadow > 0.001) drawShadow(shadow("slice" + key, outline, 5, Qt::black, dpr), 1.5, baseShadow);

    painter.save();
    rotateAbout(painter, c, pose.rotation);
    painter.fillPath(outline, colours.segBottom);
    if (glow > 0.001) {
        painter.restore();
        drawShadow(shadow("glow" + key, outline, 14, WheelPalettes::accent(), dpr), 3, 0.45 * glow);
        painter.save();
        rotateAbout(painter, c, pose.rotation);
        QColor accent = WheelPalettes::accent();
        accent.setAlphaF(glow);
        painter.fillPath(outline, accent);
    }
    QLinearGradient gradient(c.x(), c.y() - 150, c.x(), c.y() + 150);
    gradient.setColorAt(0, WheelPalettes::blend(colours.segTop, QColor::fromRgbF(0.96, 0.45, 0.24), glow));
    gradient.setColorAt(1, WheelPalettes::blend(colours.segBottom, QColor::fromRgbF(0.9, 0.33, 0.14), glow));
    painter.fillPath(outline, gradient);
    painter.strokePath(outline, QPen(WheelPalettes::blend(colours.highlight, QColor::fromRgbF(1, 1, 1, 0.18), glow), 2));
    painter.restore();

    paintLabel(painter, colours, option, i, n, glow, pose.rotation);
}

void WheelView::paintLabel(QPainter& painter, const WheelPalette& colours, const WheelOption& option, int i, int n,
                           double glow, double rotation)
{
    const double angle = pi / 2 - i * 2 * pi / n - rotation;
    const double r = 109 + 2 * glow;
    const QPointF at = WheelGeometry::polar(centre(), r, angle);
    const double maxWidth = n == 1 ? 100 : std::min(100.0, 2 * r * std::sin(pi / n) - 21);
    const bool withSymbol = option.symbol.has_value();
    const QString text = shownTitle(option);
    const FittedText fitted = fitText(text, withSymbol ? 10 : 17, 7.5, QFont::DemiBold, withSymbol ? 0.4 : 0.2,
                                      maxWidth, painter.device());
    painter.setPen(WheelPalettes::blend(colours.text, Qt::white, glow));
    if (!withSymbol) return drawCentred(painter, fitted, text, at);

    // The symbol above the title, 6 points apart, the pair centred on the label's centre.
    constexpr double symbolSize = 16;
    constexpr double spacing = 6;
    const double top = at.y() - (symbolSize + spacing + fitted.capHeight) / 2;
    const auto family = Symbols::fontFamily();
    const auto ligature = Symbols::ligature(*option.symbol);
    if (family && ligature) {
        QFont icons(*family);
        icons.setPointSizeF(symbolSize * 72.0 / painter.device()->logicalDpiY());
        icons.setWeight(QFont::Medium);
        painter.setFont(icons);
        const double advance = QFontMetricsF(icons, painter.device()).horizontalAdvance(*ligature);
        painter.drawText(QPointF(at.x() - advance / 2, top + symbolSize), *ligature);
    }
    drawCentred(painter, fitted, text, QPointF(at.x(), top + symbolSize + spacing + fitted.capHeight / 2));
}

void WheelView::paintHub(QPainter& painter, const WheelPalette& colours, double contentAlpha)
{
    const QPointF c = centre();
    const double dpr = painter.device()->devicePixelRatioF();
    const QPaintDevice* device = painter.device();
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours.hub);
    painter.drawEllipse(c, WheelGeometry::hubR, WheelGeometry::hubR);

    QString title;
    double size = 11;
    double kern = 0.5;
    if (hovered_) {
        const WheelOption& option = options_[*hovered_];
        title = shownTitle(option);
        if (!option.symbol) {
            size = 15;
            kern = 0.2;
        }
    } else if (options_.empty()) {
        title = "NOTHING HERE";
    } else {
        title = QString::fromStdString(WheelModes::title(mode_)).toUpper();
        if (pageCount_ >= 2) title += QString("  %1/%2").arg(page_ + 1).arg(pageCount_);
    }
    const FittedText fitted = fitText(title, size, 8, QFont::Medium, kern, 83, device);

    // The title's capsule eases towards its new width; a fresh one starts at its width.
    pillTarget_ = std::clamp(fitted.width + 30, 64.0, 109.0);
    if (pillWidth_ == 0) pillWidth_ = pillTarget_;
    const QRectF pill(c.x() - pillWidth_ / 2, c.y() - 16, pillWidth_, 32);
    QPainterPath capsule;
    capsule.addRoundedRect(pill, 16, 16);
    const Shadow& pillShadow = shadow(QString("pill%1").arg(std::lround(pillWidth_ * 4)), capsule, 7, Qt::black, dpr);
    painter.save();
    painter.setOpacity(colours.segShadow + 0.02);
    painter.drawImage(pillShadow.origin + QPointF(0, 1.5), pillShadow.image);
    painter.restore();
    painter.fillPath(capsule, colours.pill);
    QPainterPath edge;
    edge.addRoundedRect(pill.adjusted(0.5, 0.5, -0.5, -0.5), 15.5, 15.5);
    painter.strokePath(edge, QPen(colours.highlight, 1));

    painter.setOpacity(contentAlpha);
    painter.setPen(colours.text);
    drawCentred(painter, fitted, title, c);

    // The three modes' trigger keys below the capsule, the mode on screen in the accent.
    const QFont keyFont = wheelFont(10, QFont::DemiBold, 0, device);
    const QFontMetricsF keyMetrics(keyFont, device);
    const double keyTop = pill.bottom() + 5;
    const QString separator = "  ";
    std::vector<std::pair<QString, QColor>> keys;
    double keysWidth = 0;
    for (WheelMode mode : WheelModes::allCases()) {
        const QString glyph = QString::fromStdString(TriggerKeys::glyph(Settings::key(mode)));
        if (!keys.empty()) keysWidth += keyMetrics.horizontalAdvance(separator);
        keysWidth += keyMetrics.horizontalAdvance(glyph);
        keys.emplace_back(glyph, mode == mode_ ? WheelPalettes::accent() : colours.chipOff);
    }
    painter.setFont(keyFont);
    double x = c.x() - keysWidth / 2;
    for (size_t k = 0; k < keys.size(); ++k) {
        if (k > 0) x += keyMetrics.horizontalAdvance(separator);
        painter.setPen(keys[k].second);
        painter.drawText(QPointF(x, keyTop + keyMetrics.ascent()), keys[k].first);
        x += keyMetrics.horizontalAdvance(keys[k].first);
    }

    // The summary of the files above the capsule.
    const QFont summaryFont = wheelFont(9.5, QFont::Normal, 0, device);
    const QRectF summaryBox(c.x() - 44, pill.top() - 4 - 13, 88, 13);
    painter.setFont(summaryFont);
    painter.setPen(colours.subtext);
    painter.drawText(summaryBox, Qt::AlignCenter,
                     QFontMetricsF(summaryFont, device).elidedText(QString::fromStdString(summary_), Qt::ElideMiddle, 88));

    if (pageCount_ >= 2) {
        // Page dots; the accent capsule stretches while it travels between dots.
        constexpr double dot = 5;
        constexpr double pitch = 10;
        const double y = keyTop + keyMetrics.height() + 4;
        const double first = c.x() - (pageCount_ - 1) * pitch / 2;
        painter.setPen(Qt::NoPen);
        painter.setBrush(colours.chipOff);
        for (int k = 0; k < pageCount_; ++k) painter.drawEllipse(QRectF(first + k * pitch - dot / 2, y, dot, dot));
        const double travel = std::sin(pi * (dotPos_ - std::floor(dotPos_)));
        const double width = dot + 6 * travel;
        painter.setBrush(WheelPalettes::accent());
        painter.drawRoundedRect(QRectF(first + dotPos_ * pitch - width / 2, y, width, dot), dot / 2, dot / 2);
    }
    painter.restore();
}
