#include "media/ImageVips.h"

#include "windows/ShelfThumbnail.h"

#include "core/FileKind.h"
#include "documents/PDFOps.h"
#include "media/MediaOps.h"

#include <poppler/qt6/poppler-qt6.h>

#include <algorithm>

namespace ShelfThumbnail {

namespace {
QImage fitted(const ImageOps::Image& image, int side)
{
    const double scale = std::min(1.0, double(side) / std::max(image.width(), image.height()));
    return ImageVips::toQImage(scale < 1 ? ImageOps::resize(image, scale) : image);
}
}

QImage make(const Path& file, int side)
{
    try {
        switch (FileKinds::of(file)) {
        case FileKind::image: {
            const ImageOps::Image header = ImageOps::load(file).image;
            return fitted(ImageOps::load(file, std::min(1.0, double(side) / std::max(header.width(), header.height()))).image, side);
        }
        case FileKind::video: return fitted(MediaOps::firstFrame(file), side);
        case FileKind::pdf: {
            const auto document = PDFOps::open(file);
            const std::unique_ptr<Poppler::Page> page(document->page(0));
            if (!page) return {};
            const QSizeF points = page->pageSizeF();
            const double dpi = 72.0 * side / std::max(points.width(), points.height());
            return page->renderToImage(dpi, dpi);
        }
        default: return {};
        }
    } catch (const std::exception&) {
        // A file that cannot be previewed shows its icon.
        return {};
    }
}

}
