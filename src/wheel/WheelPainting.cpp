// Drawing the wheel: disc, slices, labels and hub, for one frame of its animations. Parts
// that look the same from frame to frame (the disc, resting slices, shadows) are drawn once
// into pictures and copied, so that a frame at twice the point size stays cheap.
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

QString shownTitle(const WheelOption& option)
{
    const QString title = QString::fromStdString(option.title);
    return option.symbol ? title.toUpper() : title;
}

void rotateAbout(QPainter& painter, QPointF centre, double clockwise)
{
    if (clockwise == 0) return;
    painter.translate(centre);
    painter.rotate(clockwise * 180 / pi);
    painter.translate(-centre);
}

void scaleAbout(QPainter& painter, QPointF centre, double scale)
{
    if (scale == 1) return;
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.translate(-centre);
}

// What a cached picture depends on besides its shape: the palette, the pixel density and
// the view's size (which places the centre).
QString look(const WheelPalette& colours, double dpr, int width)
{
    return QString("%1@%2/%3").arg(&colours == &WheelPalettes::dark() ? "dark" : "light").arg(dpr).arg(width);
}

// A slice's body at glow g: its vertical gradient from the grey towards orange, and its
// edge. The base colour and the accent that the slice is first filled with lie wholly
// under this opaque gradient, so only their shadows show and only those are drawn.
void paintBody(QPainter& painter, const WheelPalette& colours, QPointF c, const QPainterPath& outline,
               const QPainterPath& edge, double glow)
{
    QLinearGradient gradient(c.x(), c.y() - 150, c.x(), c.y() + 150);
    gradient.setColorAt(0, WheelPalettes::blend(colours.segTop, QColor::fromRgbF(0.96, 0.45, 0.24), glow));
    gradient.setColorAt(1, WheelPalettes::blend(colours.segBottom, QColor::fromRgbF(0.9, 0.33, 0.14), glow));
    painter.fillPath(outline, gradient);
    painter.fillPath(edge, WheelPalettes::blend(colours.highlight, QColor::fromRgbF(1, 1, 1, 0.18), glow));
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

FittedText WheelView::fitted(const QString& text, double size, double floor, QFont::Weight weight, double kern,
                             double maxWidth, const QPaintDevice* device)
{
    const QString key = QString("%1|%2|%3|%4|%5|%6").arg(text).arg(size).arg(weight).arg(kern).arg(std::lround(maxWidth * 100)).arg(device->logicalDpiY());
    return cache_.text(key, [&] { return WheelText::fit(text, size, floor, weight, kern, maxWidth, device); });
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
    if (alpha >= 1 && scale == 1) return paintContent(painter, colours);
    // Fading and scaling as a whole: drawn into one layer first, so that overlapping parts
    // do not show through each other, and the finished layer is scaled.
    const double dpr = painter.device()->devicePixelRatioF();
    const QSize pixels(std::lround(width() * dpr), std::lround(height() * dpr));
    if (layer_.size() != pixels) layer_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    layer_.setDevicePixelRatio(dpr);
    layer_.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer_);
        layerPainter.setRenderHints(painter.renderHints());
        paintContent(layerPainter, colours);
    }
    painter.save();
    scaleAbout(painter, centre(), scale);
    painter.setOpacity(alpha);
    painter.drawImage(QPointF(0, 0), layer_);
    painter.restore();
}

void WheelView::paintContent(QPainter& painter, const WheelPalette& colours)
{
    const QPointF c = centre();
    const double dpr = painter.device()->devicePixelRatioF();
    cache_.sprite("disc" + look(colours, dpr, width()), [&] {
        QPainterPath disc;
        disc.addEllipse(c, WheelGeometry::discR, WheelGeometry::discR);
        Sprite sprite = Shadows::make(disc, 26, QColor::fromRgbF(0, 0, 0, colours.discShadow), dpr);
        sprite.origin += QPointF(0, 8);
        QPainter onSprite(&sprite.image);
        onSprite.setRenderHint(QPainter::Antialiasing);
        onSprite.translate(-sprite.origin);
        onSprite.fillPath(disc, colours.disc);
        return sprite;
    }).draw(painter);

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
    if (glow > 0.001) {
        paintGlowingBody(painter, colours, i, n, glow, pose.rotation);
    } else {
        const double dpr = painter.device()->devicePixelRatioF();
        const Sprite resting = cache_.sprite(QString("rest%1-%2").arg(n).arg(i) + look(colours, dpr, width()), [&] {
            const QPainterPath& outline = cache_.outline(i, n, 0, c);
            Sprite sprite = Shadows::make(outline, 5, QColor::fromRgbF(0, 0, 0, colours.segShadow), dpr);
            sprite.origin += QPointF(0, 1.5);
            QPainter onSprite(&sprite.image);
            onSprite.setRenderHint(QPainter::Antialiasing);
            onSprite.translate(-sprite.origin);
            paintBody(onSprite, colours, c, outline, cache_.edge(i, n, 0, c), 0);
            return sprite;
        });
        painter.save();
        rotateAbout(painter, c, pose.rotation);
        resting.draw(painter);
        painter.restore();
    }
    paintLabel(painter, colours, option, i, n, glow, pose.rotation);
}

void WheelView::paintGlowingBody(QPainter& painter, const WheelPalette& colours, int i, int n, double glow, double rotation)
{
    const QPointF c = centre();
    const double dpr = painter.device()->devicePixelRatioF();
    const double extra = glow * WheelGeometry::pop;
    const double opacity = painter.opacity();
    // Shadows fall straight down whatever the slice's rotation.
    const auto drawShadow = [&](const Sprite& shadow, double offset, double alpha) {
        painter.save();
        painter.translate(0, offset);
        rotateAbout(painter, c, rotation);
        painter.setOpacity(opacity * alpha);
        shadow.draw(painter);
        painter.restore();
    };
    // The grey shadow fades out as the slice grows, so the resting slice's shadow serves;
    // the wide accent glow is soft enough to be made at whole points of growth.
    drawShadow(cache_.sprite(QString("shadow%1-%2@%3/%4").arg(n).arg(i).arg(dpr).arg(width()),
                             [&] { return Shadows::make(cache_.outline(i, n, 0, c), 5, Qt::black, dpr); }),
               1.5, colours.segShadow * (1 - glow));
    const int grown = static_cast<int>(std::lround(extra));
    drawShadow(cache_.sprite(QString("glow%1-%2-%3@%4/%5").arg(n).arg(i).arg(grown).arg(dpr).arg(width()),
                             [&] { return Shadows::make(cache_.outline(i, n, grown, c), 14, WheelPalettes::accent(), dpr); }),
               3, 0.45 * glow);
    painter.save();
    rotateAbout(painter, c, rotation);
    paintBody(painter, colours, c, cache_.outline(i, n, extra, c), cache_.edge(i, n, extra, c), glow);
    painter.restore();
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
    const FittedText title = fitted(text, withSymbol ? 10 : 17, 7.5, QFont::DemiBold, withSymbol ? 0.4 : 0.2, maxWidth,
                                    painter.device());
    painter.setPen(WheelPalettes::blend(colours.text, Qt::white, glow));
    if (!withSymbol) return WheelText::drawCentred(painter, title, at);

    // The symbol above the title, 6 points apart, the pair centred on the label's centre.
    constexpr double symbolSize = 16;
    constexpr double spacing = 6;
    const double top = at.y() - (symbolSize + spacing + title.capHeight) / 2;
    const auto family = Symbols::fontFamily();
    const auto ligature = Symbols::ligature(*option.symbol);
    if (family && ligature) {
        const QPaintDevice* device = painter.device();
        const FittedText icon = cache_.text("icon|" + *ligature + QString("|%1").arg(device->logicalDpiY()), [&] {
            QFont icons(*family);
            icons.setPointSizeF(symbolSize * 72.0 / device->logicalDpiY());
            return WheelText::prepare(*ligature, icons, device);
        });
        // Every icon is one em square wide, standing on the baseline.
        WheelText::draw(painter, icon, at.x() - symbolSize / 2, top + symbolSize);
    }
    WheelText::drawCentred(painter, title, QPointF(at.x(), top + symbolSize + spacing + title.capHeight / 2));
}

void WheelView::paintHub(QPainter& painter, const WheelPalette& colours, double contentAlpha)
{
    const QPointF c = centre();
    const double dpr = painter.device()->devicePixelRatioF();
    const QPaintDevice* device = painter.device();
    painter.save();
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
    const FittedText titleText = fitted(title, size, 8, QFont::Medium, kern, 83, device);

    // The title's capsule eases towards its new width; a fresh one starts at its width.
    pillTarget_ = std::clamp(titleText.width + 30, 64.0, 109.0);
    if (pillWidth_ == 0) pillWidth_ = pillTarget_;
    const QRectF pill(c.x() - pillWidth_ / 2, c.y() - 16, pillWidth_, 32);
    const auto paintBase = [&](QPainter& onto) {
        onto.setPen(Qt::NoPen);
        onto.setBrush(colours.hub);
        onto.drawEllipse(c, WheelGeometry::hubR, WheelGeometry::hubR);
        // The soft shadow does not show a change of width below a point.
        const int shadowWidth = static_cast<int>(std::lround(pillWidth_));
        cache_.sprite(QString("pill%1").arg(shadowWidth) + look(colours, dpr, width()), [&] {
            QPainterPath shape;
            shape.addRoundedRect(QRectF(c.x() - shadowWidth / 2.0, c.y() - 16, shadowWidth, 32), 16, 16);
            return Shadows::make(shape, 7, QColor::fromRgbF(0, 0, 0, colours.segShadow + 0.02), dpr);
        }).draw(onto, QPointF(0, 1.5));
        onto.setBrush(colours.pill);
        onto.drawRoundedRect(pill, 16, 16);
        onto.setBrush(Qt::NoBrush);
        onto.setPen(QPen(colours.highlight, 1));
        onto.drawRoundedRect(pill.adjusted(0.5, 0.5, -0.5, -0.5), 15.5, 15.5);
    };
    if (pillWidth_ != pillTarget_) {
        paintBase(painter);
    } else {
        // A settled hub background is one picture.
        cache_.sprite(QString("hub%1").arg(std::lround(pillWidth_ * 4)) + look(colours, dpr, width()), [&] {
            constexpr double reach = 68;
            const QPointF origin(std::floor(c.x() - reach), std::floor(c.y() - reach));
            Sprite sprite{QImage(QSize(2 * reach + 2, 2 * reach + 2) * dpr, QImage::Format_ARGB32_Premultiplied), origin};
            sprite.image.setDevicePixelRatio(dpr);
            sprite.image.fill(Qt::transparent);
            QPainter onSprite(&sprite.image);
            onSprite.setRenderHints(painter.renderHints());
            onSprite.translate(-origin);
            paintBase(onSprite);
            return sprite;
        }).draw(painter);
    }

    painter.setOpacity(contentAlpha);
    painter.setPen(colours.text);
    WheelText::drawCentred(painter, titleText, c);

    // The three modes' trigger keys below the capsule, the mode on screen in the accent.
    const QFont keyFont = WheelText::font(10, QFont::DemiBold, 0, device);
    const auto prepared = [&](const QString& text, const QFont& font) {
        return cache_.text(text + "|" + font.key() + QString("|%1").arg(device->logicalDpiY()),
                           [&] { return WheelText::prepare(text, font, device); });
    };
    const double keyTop = pill.bottom() + 5;
    const FittedText separator = prepared("  ", keyFont);
    std::vector<std::pair<FittedText, QColor>> keys;
    double keysWidth = -separator.width;
    for (WheelMode mode : WheelModes::allCases()) {
        const FittedText glyph = prepared(QString::fromStdString(TriggerKeys::glyph(Settings::key(mode))), keyFont);
        keysWidth += separator.width + glyph.width;
        keys.emplace_back(glyph, mode == mode_ ? WheelPalettes::accent() : colours.chipOff);
    }
    double x = c.x() - keysWidth / 2;
    for (const auto& [glyph, colour] : keys) {
        painter.setPen(colour);
        WheelText::draw(painter, glyph, x, keyTop + glyph.ascent);
        x += glyph.width + separator.width;
    }

    // The summary of the files above the capsule, in a box of 88 × 13 points.
    const QFont summaryFont = WheelText::font(9.5, QFont::Normal, 0, device);
    const QString summary = QString::fromStdString(summary_);
    const FittedText summaryText = cache_.text("summary|" + summary + QString("|%1").arg(device->logicalDpiY()), [&] {
        return WheelText::prepare(QFontMetricsF(summaryFont, device).elidedText(summary, Qt::ElideMiddle, 88), summaryFont, device);
    });
    painter.setPen(colours.subtext);
    WheelText::drawCentred(painter, summaryText, QPointF(c.x(), pill.top() - 4 - 13.0 / 2));

    if (pageCount_ >= 2) {
        // Page dots; the accent capsule stretches while it travels between dots.
        constexpr double dot = 5;
        constexpr double pitch = 10;
        const double y = keyTop + QFontMetricsF(keyFont, device).height() + 4;
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
