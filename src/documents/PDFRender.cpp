#include "documents/PDFOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "documents/PDFFiles.h"
#include "media/ImageVips.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QImage>

#include <cmath>
#include <condition_variable>
#include <mutex>

namespace PDFOps {

namespace {
struct PixelSize {
    int width = 1;
    int height = 1;
};

// The bitmap size of a page, or KError "Page too large" when it passes the ceiling.
PixelSize pixelSize(const Poppler::Page& page, double dpi)
{
    const QSizeF points = page.pageSizeF();  // already turned by the page's rotation
    const double width = std::max(1.0, std::floor(points.width() * dpi / 72));
    const double height = std::max(1.0, std::floor(points.height() * dpi / 72));
    if (!(width * height <= double(maxRenderPixels))) throw KError("Page too large");
    return {int(width), int(height)};
}

// Pages being drawn at the same time share one ceiling of pixels, so that several threads
// never hold more than one huge page's worth of memory.
class PixelBudget {
public:
    void take(std::int64_t pixels)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return left_ >= pixels; });
        left_ -= pixels;
    }
    void give(std::int64_t pixels)
    {
        {
            std::lock_guard lock(mutex_);
            left_ += pixels;
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t left_ = maxRenderPixels;
};

ImageOps::Image draw(const Poppler::Page& page, double dpi, PixelSize size)
{
    ImageVips::start();
    // Poppler rounds the page's pixel size; the slice keeps the truncated size exactly.
    QImage bitmap = page.renderToImage(dpi, dpi, 0, 0, size.width, size.height);
    if (bitmap.isNull()) throw KError("Couldn't render page");
    if (bitmap.format() != QImage::Format_RGB32 && bitmap.format() != QImage::Format_ARGB32 &&
        bitmap.format() != QImage::Format_ARGB32_Premultiplied) {
        bitmap = bitmap.convertToFormat(QImage::Format_RGB32);
    }
    // libvips reads the bitmap where it lies; the image frees it when its last user closes.
    auto held = std::make_unique<QImage>(std::move(bitmap));
    ImageOps::Image pixels = ImageOps::Image::new_from_memory(held->bits(), held->sizeInBytes(), held->width(), held->height(), 4,
                                                               VIPS_FORMAT_UCHAR);
    g_signal_connect(pixels.get_image(), "postclose",
                     G_CALLBACK(+[](VipsImage*, gpointer data) { delete static_cast<QImage*>(data); }), held.release());
    // 32-bit pixels are 0xAARRGGBB words: B, G, R, A in memory on little-endian machines.
    const bool little = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    ImageOps::Image rgb = little ? ImageOps::Image::bandjoin({pixels.extract_band(2), pixels.extract_band(1), pixels.extract_band(0)})
                                 : pixels.extract_band(1, ImageOps::Image::option()->set("n", 3));
    return rgb.copy(ImageOps::Image::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

// Draws every page into folder on several threads, each with a Poppler document of its own.
void renderAll(const Path& url, std::unique_ptr<Poppler::Document> first, double dpi, const Path& folder, const std::string& ext)
{
    const int count = first->numPages();
    std::vector<std::unique_ptr<Poppler::Document>> documents;
    documents.push_back(std::move(first));
    while (int(documents.size()) < PDFFiles::workersFor(count)) documents.push_back(open(url));
    PixelBudget budget;
    PDFFiles::inParallel(count, int(documents.size()), [&](int worker, int i) {
        const std::unique_ptr<Poppler::Page> page(documents[worker]->page(i));
        if (!page) return;
        const PixelSize size = pixelSize(*page, dpi);
        const std::int64_t pixels = std::int64_t(size.width) * size.height;
        budget.take(pixels);
        try {
            ImageOps::write(draw(*page, dpi, size), folder / PDFFiles::pageName(url, i + 1, count, ext), ext, 0.9, {});
        } catch (...) {
            budget.give(pixels);
            throw;
        }
        budget.give(pixels);
    });
}
}

ImageOps::Image render(const Poppler::Page& page, double dpi)
{
    return draw(page, dpi, pixelSize(page, dpi));
}

Path toImages(const Path& url, const std::string& ext, double dpi, const std::optional<Path>& outputFor)
{
    const Path& anchor = outputFor ? *outputFor : url;
    std::unique_ptr<Poppler::Document> document = open(url);
    if (document->numPages() == 1) {
        const std::unique_ptr<Poppler::Page> page(document->page(0));
        if (!page) throw KError("Couldn't render page");
        return Output::produce(anchor, ext, "", [&](const Path& to) { ImageOps::write(render(*page, dpi), to, ext, 0.9, {}); });
    }
    // A failed page removes the whole folder: a part of the pages is not what was asked for.
    return Output::produce(anchor, "", upperAscii(ext), [&](const Path& folder) { renderAll(url, std::move(document), dpi, folder, ext); });
}

Paths renderPages(const Path& url, const std::string& ext, double dpi, const Path& folder)
{
    std::unique_ptr<Poppler::Document> document = open(url);
    const int count = document->numPages();
    renderAll(url, std::move(document), dpi, folder, ext);
    Paths files;
    for (int i = 1; i <= count; ++i) {
        const Path file = folder / PDFFiles::pageName(url, i, count, ext);
        if (std::filesystem::exists(file)) files.push_back(file);
    }
    return files;
}

}
