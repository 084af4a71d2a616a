#include "windows/DraggableFileView.h"

#include <QApplication>
#include <QDrag>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

DraggableFileView::DraggableFileView(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::OpenHandCursor);
    setMinimumSize(sizeHint());
}

void DraggableFileView::setUrl(const std::optional<Path>& url)
{
    url_ = url;
    icon_ = {};
    if (url) {
        const QString file = QString::fromStdString(url->string());
        // The file's own picture, else the icon of its type.
        QImageReader reader(file);
        reader.setAutoTransform(true);
        const QSize box = iconBox().size() * 2;
        if (reader.canRead()) {
            const QSize size = reader.size();
            if (size.isValid()) reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
            icon_ = QPixmap::fromImage(reader.read());
        }
        if (icon_.isNull()) icon_ = QFileIconProvider().icon(QFileInfo(file)).pixmap(box);
        icon_.setDevicePixelRatio(2);
    }
    setToolTip(url ? QString::fromStdString(url->string()) : QString());
    update();
}

QRect DraggableFileView::iconBox() const
{
    return QRect((width() - 72) / 2, 20, 72, 54);
}

void DraggableFileView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect box = iconBox();
    if (!icon_.isNull()) {
        const QSizeF size = icon_.deviceIndependentSize().scaled(box.size(), Qt::KeepAspectRatio);
        const QRectF target(box.center().x() - size.width() / 2 + 0.5, box.center().y() - size.height() / 2 + 0.5, size.width(), size.height());
        p.drawPixmap(target, icon_, icon_.rect());
    }
    QColor frame = palette().color(QPalette::WindowText);
    frame.setAlphaF(0.25f);
    p.setPen(QPen(frame, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 12, 12);
    p.setPen(palette().color(QPalette::WindowText));
    const QString name = url_ ? QString::fromStdString(url_->filename().string()) : QString("Sample");
    const QRect line(4, height() - 8 - 16, width() - 8, 16);
    p.drawText(line, Qt::AlignCenter, p.fontMetrics().elidedText(name, Qt::ElideMiddle, line.width()));
}

void DraggableFileView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) pressedAt_ = event->position().toPoint();
}

void DraggableFileView::mouseReleaseEvent(QMouseEvent*)
{
    pressedAt_.reset();
}

void DraggableFileView::mouseMoveEvent(QMouseEvent* event)
{
    if (!url_ || !pressedAt_ || !(event->buttons() & Qt::LeftButton)) return;
    if ((event->position().toPoint() - *pressedAt_).manhattanLength() < QApplication::startDragDistance()) return;
    pressedAt_.reset();
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(url_->string()))});
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    if (!icon_.isNull()) {
        QPixmap shown = icon_.scaled(iconBox().size() * icon_.devicePixelRatio(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        shown.setDevicePixelRatio(icon_.devicePixelRatio());
        drag->setPixmap(shown);
        drag->setHotSpot(QPoint(int(shown.deviceIndependentSize().width() / 2), int(shown.deviceIndependentSize().height() / 2)));
    }
    // Only ever a copy: the sample must stay for the next try.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}
