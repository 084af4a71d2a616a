#include "media/ImageVips.h"

#include "core/Errors.h"
#include "media/MagickPolicy.h"

#include <mutex>

namespace ImageVips {

namespace {
const char* const sourceField = "varnolt-source";
const char* const programName = "varnolt";

// The first start of libvips records its install prefix with setenv. Done when this file is
// loaded, so that it cannot rewrite the environment under a program being started on another
// thread (the new program would fail with "bad address"); where that is after the first
// thread, the program has recorded the prefix already and nothing is written.
const bool prefixRecorded = vips_guess_prefix(programName, "VIPSHOME") != nullptr;

vips::VOption* loadOptions(bool sequential)
{
    return ImageOps::Image::option()
        ->set("access", sequential ? VIPS_ACCESS_SEQUENTIAL : VIPS_ACCESS_RANDOM)
        ->set("fail_on", VIPS_FAIL_ON_ERROR);
}
}

void start()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Before libvips can start ImageMagick, which reads its policy once.
        MagickPolicy::confine();
        if (VIPS_INIT(programName) != 0) throw KError("Couldn't start the image engine");
        // Every pipeline here runs once; cached operations would only hold on to memory.
        vips_cache_set_max(0);
        // Decode trouble reaches the user as one clear error; libvips' per-tile warnings
        // would only repeat it on the terminal.
        g_log_set_handler("VIPS", G_LOG_LEVEL_WARNING, [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });
}

void warmUp()
{
    start();
    try {
        const ImageOps::Image tiny = ImageOps::Image::black(16, 16, ImageOps::Image::option()->set("bands", 3));
        for (const char* format : {".jpg", ".png", ".webp"}) {
            void* bytes = nullptr;
            size_t size = 0;
            tiny.write_to_buffer(format, &bytes, &size);
            ImageOps::Image::new_from_buffer(bytes, size, "").avg();
            g_free(bytes);
        }
    } catch (const vips::VError&) {
        vips_error_clear();
    }
}

QImage toQImage(ImageOps::Image image)
{
    if (image.bands() < 3) image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    size_t size = 0;
    void* pixels = image.write_to_memory(&size);
    const int width = image.width();
    return QImage(static_cast<uchar*>(pixels), width, image.height(), qsizetype(width) * image.bands(),
                  image.has_alpha() ? QImage::Format_RGBA8888 : QImage::Format_RGB888, g_free, pixels);
}

std::string cannotRead(const Path& url)
{
    return "Couldn't read " + url.filename().string() + " as an image";
}

Opened open(const Path& url, bool sequential, int shrink)
{
    start();
    try {
        // A source rather than a file name: libvips reads "[...]" at the end of a name as options.
        const vips::VSource source = vips::VSource::new_from_file(url.c_str());
        const char* loader = vips_foreign_find_load_source(source.get_source());
        if (!loader) throw vips::VError();
        vips::VOption* options = loadOptions(sequential);
        if (shrink > 1 && std::string(loader) == "jpegload_source") options->set("shrink", shrink);
        ImageOps::Image out;
        ImageOps::Image::call(loader, options->set("source", source)->set("out", &out));
        return {out, false};
    } catch (const vips::VError&) {
        vips_error_clear();
    }
    if (!MagickPolicy::confine()) throw KError(cannotRead(url));
    try {
        ImageOps::Image out;
        ImageOps::Image::call("magickload", loadOptions(sequential)->set("filename", url.c_str())->set("out", &out));
        return {out, true};
    } catch (const vips::VError&) {
        vips_error_clear();
    }
    throw KError(cannotRead(url));
}

ImageOps::Image resized(const ImageOps::Image& image, int width, int height)
{
    using ImageOps::Image;
    if (width == image.width() && height == image.height()) return image;
    // Scales to the target size, so each side lands on exactly the rounded value.
    const auto scaled = [&](const Image& in) {
        return in.resize(double(width) / in.width(), Image::option()->set("vscale", double(height) / in.height()));
    };
    if (!image.has_alpha()) return scaled(image);
    // Filtering colour that is not weighted by its alpha bleeds dark fringes into edges.
    return scaled(image.premultiply()).unpremultiply().cast(image.format());
}

ImageOps::Image withSource(const ImageOps::Image& image, const Path& url)
{
    ImageOps::Image marked = image.copy();
    marked.set(sourceField, url.c_str());
    return marked;
}

void fail(const ImageOps::Image& image, const std::string& message)
{
    vips_error_clear();
    if (image.get_typeof(sourceField)) {
        const Path url = image.get_string(sourceField);
        bool decodes = true;
        try {
            open(url, true).image.avg();
        } catch (const std::exception&) {
            vips_error_clear();
            decodes = false;
        }
        if (!decodes) throw KError(cannotRead(url));
    }
    throw KError(message);
}

}
