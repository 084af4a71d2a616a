#include "media/ImageOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "media/ImageVips.h"

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace ImageOps {

void writePDF(const std::vector<Image>& images, const Path& url)
{
    QPdfWriter writer(QString::fromStdString(url.string()));
    writer.setResolution(72);  // one device unit per point
    writer.setCreator("Varnolt");
    QPainter painter;
    for (size_t i = 0; i < images.size(); ++i) {
        const Image& image = images[i];
        const double k = std::min(792.0 / std::max(image.width(), image.height()), 1.0);
        const QSizeF box(image.width() * k, image.height() * k);
        writer.setPageLayout(QPageLayout(QPageSize(box, QPageSize::Point, {}, QPageSize::ExactMatch), QPageLayout::Portrait, QMarginsF()));
        if (i == 0) {
            if (!painter.begin(&writer)) throw KError("Couldn't create PDF");
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
        } else {
            writer.newPage();
        }
        const QImage picture = ImageVips::guarded(image, "Couldn't create PDF", [&] { return ImageVips::toQImage(image); });
        painter.drawImage(QRectF(QPointF(0, 0), box), picture);
    }
    if (painter.isActive() && !painter.end()) throw KError("Couldn't create PDF");
}

Path combineToPDF(const Paths& urls)
{
    std::vector<Image> images;
    for (const Path& url : urls) images.push_back(load(url).image);
    return Output::produce(urls.front(), "pdf", urls.size() >= 2 ? "combined" : "", [&](const Path& to) { writePDF(images, to); });
}

}
