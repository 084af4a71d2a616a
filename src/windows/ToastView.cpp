#include "windows/ToastView.h"

#include "platform/ColorScheme.h"
#include "platform/Compositor.h"
#include "wheel/WheelPalette.h"
#include "windows/ToastPlacement.h"

#include <QApplication>
#include <QDrag>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QToolTip>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double radius = 14;
constexpr double padding = 14;
constexpr double iconFrame = 26;
constexpr double iconSize = 22;
constexpr double gap = 10;
constexpr int springMs = 600;
constexpr double springResponse = 0.38;
constexpr double springDamping = 0.78;

// A damped spring from 0 to 1 (response 0.38 s, damping fraction 0.78) over the transition's
// 0.6 s, by which time it has settled; it overshoots 1 by about 2 % on the way.
qreal spring(qreal progress)
{
    if (progress >= 1) return 1;
    const double t = progress * springMs / 1000.0;
    const double omega = 2 * std::numbers::pi / springResponse;
    const double decay = springDamping * omega;
    const double omegaD = omega * std::sqrt(1 - springDamping * springDamping);
    return 1 - std::exp(-decay * t) * (std::cos(omegaD * t) + decay / omegaD * std::sin(omegaD * t));
}

QFont font(int pixels, QFont::Weight weight)
{
    QFont f = QApplication::font();
    f.setPixelSize(pixels);
    f.setWeight(weight);
    return f;
}

QFont titleFont() { return font(13, QFont::DemiBold); }
QFont subtitleFont() { return font(11, QFont::Normal); }
QFont undoFont() { return font(12, QFont::DemiBold); }

const QString undoText = "Undo";

QPainterPath cardShape(QSizeF size)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), size), radius, radius);
    return path;
}
}

struct ToastView::Colours {
    QColor card;
    QColor title;
    QColor subtitle;
    QColor track;
};

ToastView::ToastView(const ToastModel& model) : model_(model)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setWindowTitle("Varnolt");
    setFixedSize(ToastPlacement::cardSize);
    // Without a compositor the transparent corners would show black: cut the window to the card.
    opaque_ = !Compositor::active();
    if (opaque_) setMask(QRegion(cardShape(size()).toFillPolygon().toPolygon()));

    QEasingCurve curve;
    curve.setCustomType(spring);
    spring_.setEasingCurve(curve);
    spring_.setDuration(springMs);
    spring_.setStartValue(0.0);
    spring_.setEndValue(1.0);
    connect(&spring_, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    connect(&spring_, &QVariantAnimation::finished, this, [this] { previous_ = {}; });

    spinner_.setStartValue(0.0);
    spinner_.setEndValue(360.0);
    spinner_.setDuration(1000);
    spinner_.setLoopCount(-1);
    connect(&spinner_, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));

    connect(&ColorScheme::shared(), &ColorScheme::changed, this, [this] {
        if (!dark_) update();
    });
    runSpinner();
}

void ToastView::setModel(const ToastModel& model)
{
    ToastModel withoutProgress = model;
    withoutProgress.progress = model_.progress;
    const bool contentChanged = !(withoutProgress == model_);
    if (contentChanged) previous_ = contentPicture();
    model_ = model;
    if (contentChanged) {
        spring_.stop();
        spring_.start();
    }
    runSpinner();
    update();
}

void ToastView::setDarkAppearance(std::optional<bool> dark)
{
    dark_ = dark;
    update();
}

bool ToastView::darkAppearance() const
{
    return dark_ ? *dark_ : ColorScheme::shared().dark();
}

// The spinner turns only while it is drawn: a job without a fraction done yet.
void ToastView::runSpinner()
{
    const bool spin = model_.state == ToastModel::State::working && !model_.progress;
    if (spin && spinner_.state() != QAbstractAnimation::Running) spinner_.start();
    if (!spin) spinner_.stop();
}

QRect ToastView::undoButton() const
{
    if (model_.outputs.empty()) return {};
    const int textWidth = QFontMetrics(undoFont()).horizontalAdvance(undoText);
    const int right = width() - static_cast<int>(padding) + 6;
    return QRect(right - textWidth - 12, height() / 2 - 12, textWidth + 12, 24);
}

ToastView::Colours ToastView::colours() const
{
    const bool dark = darkAppearance();
    QColor card = dark ? QColor(32, 32, 35, 230) : QColor(248, 248, 248, 238);
    if (opaque_) card.setAlpha(255);
    if (dark) return {card, QColor(255, 255, 255, 235), QColor(255, 255, 255, 150), QColor(255, 255, 255, 60)};
    return {card, QColor(0, 0, 0, 220), QColor(0, 0, 0, 140), QColor(0, 0, 0, 40)};
}

void ToastView::paintIcon(QPainter& p, const ToastModel& model, const Colours& c, QRectF box) const
{
    const QPointF centre = box.center();
    const double r = iconSize / 2;
    switch (model.state) {
    case ToastModel::State::working: {
        const QRectF ring(centre.x() - r + 2, centre.y() - r + 2, iconSize - 4, iconSize - 4);
        if (model.progress) {
            p.setPen(QPen(c.track, 2.5));
            p.drawEllipse(ring);
            p.setPen(QPen(WheelPalettes::accent(), 2.5, Qt::SolidLine, Qt::RoundCap));
            // Qt's angles run anticlockwise in sixteenths of a degree: start at twelve o'clock.
            p.drawArc(ring, 90 * 16, -static_cast<int>(std::lround(*model.progress * 360 * 16)));
        } else {
            const double angle = spinner_.currentValue().toDouble();
            p.setPen(QPen(c.track, 2.5));
            p.drawEllipse(ring);
            p.setPen(QPen(c.subtitle, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(ring, static_cast<int>((90 - angle) * 16), -100 * 16);
        }
        break;
    }
    case ToastModel::State::success: {
        p.setPen(Qt::NoPen);
        p.setBrush(WheelPalettes::accent());
        p.drawEllipse(centre, r, r);
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        const QPointF o = box.topLeft() + QPointF((box.width() - iconSize) / 2, (box.height() - iconSize) / 2);
        p.drawPolyline(QPolygonF{o + QPointF(6.5, 11.5), o + QPointF(9.8, 14.6), o + QPointF(15.5, 8.2)});
        break;
    }
    case ToastModel::State::failure: {
        const QPointF o = box.topLeft() + QPointF((box.width() - iconSize) / 2, (box.height() - iconSize) / 2);
        const QColor red(255, 59, 48);
        p.setPen(QPen(red, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(red);
        p.drawPolygon(QPolygonF{o + QPointF(11, 2.5), o + QPointF(20.5, 19), o + QPointF(1.5, 19)});
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(o + QPointF(11, 8.2), o + QPointF(11, 12.6));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(o + QPointF(11, 16), 1.25, 1.25);
        break;
    }
    }
}

void ToastView::paintContent(QPainter& p, const ToastModel& model, const Colours& c) const
{
    paintIcon(p, model, c, QRectF(padding, (height() - iconFrame) / 2.0, iconFrame, iconFrame));
    const double left = padding + iconFrame + gap;
    double right = width() - padding;
    if (!model.outputs.empty()) {
        p.setFont(undoFont());
        p.setPen(WheelPalettes::accent());
        const QRectF button(QRectF(0, 0, width() - padding, height()));
        p.drawText(button, Qt::AlignRight | Qt::AlignVCenter, undoText);
        right -= QFontMetrics(undoFont()).horizontalAdvance(undoText) + gap;
    }
    const int textWidth = static_cast<int>(right - left);
    const QFontMetrics titleMetrics(titleFont());
    const QFontMetrics subtitleMetrics(subtitleFont());
    const QString title = titleMetrics.elidedText(QString::fromStdString(model.title), Qt::ElideRight, textWidth);
    const QString subtitle = subtitleMetrics.elidedText(QString::fromStdString(model.subtitle), Qt::ElideMiddle, textWidth);
    const bool twoLines = !subtitle.isEmpty();
    const double spacing = 2;
    const double block = titleMetrics.height() + (twoLines ? spacing + subtitleMetrics.height() : 0);
    double y = (height() - block) / 2;
    p.setFont(titleFont());
    p.setPen(c.title);
    p.drawText(QPointF(left, y + titleMetrics.ascent()), title);
    if (twoLines) {
        y += titleMetrics.height() + spacing;
        p.setFont(subtitleFont());
        p.setPen(c.subtitle);
        p.drawText(QPointF(left, y + subtitleMetrics.ascent()), subtitle);
    }
}

QImage ToastView::contentPicture() const
{
    const qreal dpr = devicePixelRatioF();
    QImage picture((QSizeF(size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(dpr);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    paintContent(p, model_, colours());
    return picture;
}

void ToastView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const Colours c = colours();
    const QPainterPath shape = cardShape(size());
    p.fillPath(shape, c.card);
    // The inner outline: half a point of white at 8 %, just inside the edge.
    p.setPen(QPen(QColor(255, 255, 255, 20), 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25), radius - 0.25, radius - 0.25);

    if (spring_.state() != QAbstractAnimation::Running || previous_.isNull()) {
        paintContent(p, model_, c);
        return;
    }
    // Old content fades out as the new one fades in, rising into place on the spring.
    const double s = spring_.currentValue().toDouble();
    const double fade = std::clamp(s, 0.0, 1.0);
    p.setOpacity(1 - fade);
    p.drawImage(QPointF(0, -4 * s), previous_);
    p.setOpacity(fade);
    p.translate(0, 4 * (1 - s));
    paintContent(p, model_, c);
}

void ToastView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    pressedAt_ = event->position().toPoint();
    pressedOnUndo_ = undoButton().contains(*pressedAt_);
}

void ToastView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    setCursor(undoButton().contains(at) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (!pressedAt_ || pressedOnUndo_ || !(event->buttons() & Qt::LeftButton)) return;
    if ((at - *pressedAt_).manhattanLength() < QApplication::startDragDistance()) return;
    pressedAt_.reset();
    dragOutputs();
}

void ToastView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressedAt_) return;
    pressedAt_.reset();
    if (!pressedOnUndo_) emit clicked();
    else if (undoButton().contains(event->position().toPoint())) emit undoClicked();
}

// Other programs take the outputs as a list of file URLs (text/uri-list).
void ToastView::dragOutputs()
{
    const Paths files = model_.presentOutputs();
    if (files.empty()) return;
    QList<QUrl> urls;
    for (const Path& file : files) urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
    auto* data = new QMimeData;
    data->setUrls(urls);
    // On the heap, as Qt asks: another program asks for the data after the drop, when exec has
    // already returned, and Qt deletes the drag once it has answered.
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(QFileIconProvider().icon(QFileInfo(QString::fromStdString(files.front().string()))).pixmap(32, 32));
    emit dragging(true);
    drag->exec(Qt::CopyAction);
    emit dragging(false);
}

bool ToastView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (undoButton().contains(help->pos())) QToolTip::showText(help->globalPos(), "Move the result to the Trash", this, undoButton());
        else QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
