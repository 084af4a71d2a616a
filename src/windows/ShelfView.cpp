#include "windows/ShelfView.h"

#include "platform/ColorScheme.h"
#include "wheel/WheelPalette.h"
#include "windows/ShelfThumbnail.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>
#include <QWindow>

#include <algorithm>

namespace {
constexpr int previewSide = 82;
constexpr double radius = 18;
const QRectF closeMark(10, 10, 18, 18);

Paths localFiles(const QMimeData* data)
{
    Paths files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    }
    return files;
}
}

ShelfView::ShelfView(Paths urls, QWidget* parent) : QWidget(parent), urls_(std::move(urls))
{
    setAcceptDrops(true);
    rebuildThumbnail();
}

void ShelfView::add(const Paths& files)
{
    for (const Path& file : files) {
        if (std::find(urls_.begin(), urls_.end(), file) == urls_.end()) urls_.push_back(file);
    }
    rebuildThumbnail();
}

void ShelfView::rebuildThumbnail()
{
    thumbnail_ = {};
    update();
    if (urls_.empty()) return;
    const int generation = ++generation_;
    const int side = int(previewSide * devicePixelRatioF());
    QPointer<ShelfView> self(this);
    // Decoding a photo or a video frame takes a moment: the icon shows until it is done.
    QThreadPool::globalInstance()->start([self, generation, side, file = urls_.front()] {
        QImage image = ShelfThumbnail::make(file, side);
        QMetaObject::invokeMethod(qApp, [self, generation, image] {
            if (!self || self->generation_ != generation) return;
            self->thumbnail_ = image;
            self->update();
        });
    });
}

QPixmap ShelfView::preview() const
{
    const double dpr = devicePixelRatioF();
    if (!thumbnail_.isNull()) {
        QPixmap pixmap = QPixmap::fromImage(thumbnail_);
        pixmap.setDevicePixelRatio(std::max(dpr, std::max(thumbnail_.width(), thumbnail_.height()) / double(previewSide)));
        return pixmap;
    }
    const QIcon icon = QFileIconProvider().icon(QFileInfo(QString::fromStdString(urls_.front().string())));
    return icon.pixmap(QSize(previewSide, previewSide), dpr);
}

void ShelfView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool dark = ColorScheme::shared().dark();
    const QColor card = dark ? QColor(32, 32, 35, 235) : QColor(246, 246, 246, 240);
    const QColor text = dark ? QColor(255, 255, 255, 235) : QColor(0, 0, 0, 220);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(dark ? QColor(255, 255, 255, 40) : QColor(0, 0, 0, 40), 1));
    p.setBrush(card);
    p.drawRoundedRect(bounds, radius, radius);
    if (dropHighlight_) {
        p.setPen(QPen(WheelPalettes::accent(), 3));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(bounds.adjusted(2, 2, -2, -2), radius - 2, radius - 2);
    }

    p.setPen(QPen(QColor::fromRgbF(0.5f, 0.5f, 0.5f, dark ? 0.6f : 0.45f), 1.5, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = closeMark.center();
    p.drawLine(c + QPointF(-3.5, -3.5), c + QPointF(3.5, 3.5));
    p.drawLine(c + QPointF(-3.5, 3.5), c + QPointF(3.5, -3.5));

    if (urls_.empty()) return;
    const QRectF box((width() - previewSide) / 2.0, 30, previewSide, previewSide);
    p.setPen(Qt::NoPen);
    p.setBrush(dark ? QColor(255, 255, 255, 30) : QColor(0, 0, 0, 22));
    for (int i = std::min<int>(2, int(urls_.size()) - 1); i >= 1; --i) p.drawRoundedRect(box.translated(4 * i, -4 * i), 8, 8);
    const QPixmap picture = preview();
    const QSizeF size = picture.deviceIndependentSize().scaled(box.size(), Qt::KeepAspectRatio);
    p.drawPixmap(QRectF(box.center() - QPointF(size.width(), size.height()) / 2, size), picture, QRectF(picture.rect()));

    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(text);
    const QString name = urls_.size() == 1 ? QString::fromStdString(urls_.front().filename().string()) : QString::number(urls_.size()) + " items";
    const QRectF nameLine(10, height() - 22 - 16, width() - 20, 16);
    p.drawText(nameLine, Qt::AlignCenter, p.fontMetrics().elidedText(name, Qt::ElideMiddle, int(nameLine.width())));
    font.setPointSizeF(9.5 * 72 / logicalDpiY());
    p.setFont(font);
    QColor dim = text;
    dim.setAlphaF(0.5f);
    p.setPen(dim);
    p.drawText(QRectF(0, height() - 8 - 14, width(), 14), Qt::AlignCenter, "Drag to drop anywhere");
}

void ShelfView::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    if (closeMark.adjusted(-4, -4, 4, 4).contains(at)) {
        if (onClose) onClose();
        return;
    }
    if (at.y() < 32) {
        if (QWindow* window = windowHandle()) window->startSystemMove();
        return;
    }
    pressedAt_ = event->position().toPoint();
}

void ShelfView::mouseMoveEvent(QMouseEvent* event)
{
    if (!pressedAt_ || (event->position().toPoint() - *pressedAt_).manhattanLength() < QApplication::startDragDistance()) return;
    pressedAt_.reset();
    dragOut();
}

void ShelfView::mouseReleaseEvent(QMouseEvent*)
{
    pressedAt_.reset();
}

void ShelfView::dragOut()
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const Path& file : urls_) urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
    data->setUrls(urls);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(preview());
    drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
    // A drop that moved files away takes them off the shelf.
    const auto gone = std::remove_if(urls_.begin(), urls_.end(), [](const Path& file) {
        std::error_code ec;
        return !std::filesystem::exists(std::filesystem::symlink_status(file, ec));
    });
    if (gone == urls_.end()) return;
    urls_.erase(gone, urls_.end());
    if (urls_.empty() && onClose) return onClose();
    rebuildThumbnail();
}

void ShelfView::dragEnterEvent(QDragEnterEvent* event)
{
    // The shelf's own files dragged back onto it change nothing.
    if (event->source() == this || localFiles(event->mimeData()).empty()) return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    dropHighlight_ = true;
    update();
}

void ShelfView::dragLeaveEvent(QDragLeaveEvent*)
{
    dropHighlight_ = false;
    update();
}

void ShelfView::dropEvent(QDropEvent* event)
{
    dropHighlight_ = false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    add(localFiles(event->mimeData()));
}
