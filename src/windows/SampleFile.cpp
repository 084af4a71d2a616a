#include "windows/SampleFile.h"

#include "media/ImageOps.h"

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QStandardPaths>

namespace SampleFile {

namespace {
QImage draw()
{
    QImage picture(1200, 800, QImage::Format_RGB888);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 1200, 800);
    gradient.setColorAt(0, QColor::fromRgbF(1.0f, 0.72f, 0.25f));
    gradient.setColorAt(1, QColor::fromRgbF(0.95f, 0.35f, 0.1f));
    p.fillRect(picture.rect(), gradient);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgbF(1.0f, 0.95f, 0.85f, 0.9f));
    p.drawEllipse(QRectF(400, 200, 400, 400));
    p.setBrush(QColor::fromRgbF(0.3f, 0.6f, 0.2f));
    p.drawEllipse(QRectF(610, 560, 120, 60));
    return picture;
}
}

std::optional<Path> url()
{
    // ~/.local/share/Varnolt whatever the process calls itself (tests and the command line too).
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) return std::nullopt;
    const Path folder = Path(data.toStdString()) / "Varnolt" / "Sample";
    const Path file = folder / "Sample Photo.png";
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec)) return file;
    try {
        std::filesystem::create_directories(folder);
        const QImage picture = draw();
        // Rows of a QImage are padded to four bytes; libvips wants them packed.
        std::vector<unsigned char> pixels;
        pixels.reserve(std::size_t(picture.width()) * picture.height() * 3);
        for (int y = 0; y < picture.height(); ++y) {
            const uchar* row = picture.constScanLine(y);
            pixels.insert(pixels.end(), row, row + picture.width() * 3);
        }
        const ImageOps::Image image = ImageOps::Image::new_from_memory(pixels.data(), pixels.size(), picture.width(),
                                                                       picture.height(), 3, VIPS_FORMAT_UCHAR)
                                          .copy(ImageOps::Image::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
        // Written under another name first: a picture cut short is never taken for the sample.
        const Path partial = folder / ".Sample Photo.png.part";
        ImageOps::write(image, partial, "png", 0.9, {});
        std::filesystem::rename(partial, file);
        return file;
    } catch (...) {
        std::filesystem::remove(folder / ".Sample Photo.png.part", ec);
        return std::nullopt;
    }
}

}
