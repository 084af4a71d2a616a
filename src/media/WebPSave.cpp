#include "media/WebPSave.h"

#include "core/Batch.h"
#include "core/Errors.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <cstring>
#include <fstream>
#include <memory>

// libvips' own rebuild of the EXIF block before a save (resolution, dimensions, the fields it
// requires). Exported by libvips though not in its headers; calling it keeps the block what
// libvips' savers write.
extern "C" int vips__exif_update(VipsImage* image);

namespace WebPSave {

namespace {
const std::string failure = "Couldn't write .webp";

// Fills a picture's planes from strips of rows. libwebp converts RGB to YUV two rows at a
// time, each pair on its own, so strips of even height convert exactly as the whole image
// does. libvips hands over strips of a multiple of its tile height; only the last one can be
// odd, and its last row converts on its own, as at the end of a whole image.
class Planes {
public:
    Planes(WebPPicture& picture, int bands) : picture_(picture), bands_(bands) {}

    bool add(const std::uint8_t* rows, int stride, int count)
    {
        if (count & 1 && done_ + count != picture_.height) return false;
        return convert(rows, stride, count);
    }

    // Settles whether alpha is kept, once every row is in.
    bool finish()
    {
        if (!translucent_) {
            // As a whole-image conversion leaves an opaque picture: no alpha plane at all.
            picture_.colorspace = WEBP_YUV420;
            picture_.a = nullptr;
            picture_.a_stride = 0;
        }
        return done_ == picture_.height;
    }

private:
    bool convert(const std::uint8_t* rows, int stride, int count)
    {
        WebPPicture part;
        if (!WebPPictureInit(&part)) return false;
        part.width = picture_.width;
        part.height = count;
        const bool ok = (bands_ == 4 ? WebPPictureImportRGBA : WebPPictureImportRGB)(&part, rows, stride);
        if (ok) {
            const int chromaWidth = (part.width + 1) / 2;
            for (int y = 0; y < count; ++y) {
                std::memcpy(picture_.y + std::size_t(done_ + y) * picture_.y_stride, part.y + std::size_t(y) * part.y_stride, part.width);
                if (picture_.a) {
                    std::uint8_t* alpha = picture_.a + std::size_t(done_ + y) * picture_.a_stride;
                    if (part.a) std::memcpy(alpha, part.a + std::size_t(y) * part.a_stride, part.width);
                    else std::memset(alpha, 0xff, part.width);
                }
            }
            for (int y = 0; y < (count + 1) / 2; ++y) {
                const std::size_t to = std::size_t(done_ / 2 + y) * picture_.uv_stride, from = std::size_t(y) * part.uv_stride;
                std::memcpy(picture_.u + to, part.u + from, chromaWidth);
                std::memcpy(picture_.v + to, part.v + from, chromaWidth);
            }
            translucent_ = translucent_ || part.a;
            done_ += count;
        }
        WebPPictureFree(&part);
        return ok;
    }

    WebPPicture& picture_;
    const int bands_;
    int done_ = 0;
    bool translucent_ = false;
};

int takeStrip(VipsRegion* region, VipsRect* area, void* planes)
{
    const auto* rows = reinterpret_cast<const std::uint8_t*>(VIPS_REGION_ADDR(region, area->left, area->top));
    return static_cast<Planes*>(planes)->add(rows, int(VIPS_REGION_LSKIP(region)), area->height) ? 0 : -1;
}

struct Picture : WebPPicture {
    Picture() { WebPPictureInit(this); }
    ~Picture() { WebPPictureFree(this); }
};

struct Written : WebPMemoryWriter {
    Written() { WebPMemoryWriterInit(this); }
    ~Written() { WebPMemoryWriterClear(this); }
};

struct Assembled : WebPData {
    Assembled() { WebPDataInit(this); }
    ~Assembled() { WebPDataClear(this); }
    Assembled(const Assembled&) = delete;
    Assembled& operator=(const Assembled&) = delete;
};

using Mux = std::unique_ptr<WebPMux, decltype(&WebPMuxDelete)>;

// The settings libvips' webpsave uses for a lossy picture at its default effort.
WebPConfig settings(int q)
{
    WebPConfig config;
    if (!WebPConfigInit(&config) || !WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, float(q))) throw KError(failure);
    config.alpha_quality = 100;
    config.method = 4;
    // libwebp's second thread changes no byte of the output.
    config.thread_level = Batch::alone() ? 1 : 0;
    if (!WebPValidateConfig(&config)) throw KError(failure);
    return config;
}

// The encoded picture with the metadata chunks libvips adds, in the order WebP gives them.
void assemble(const ImageOps::Image& image, const Written& encoded, Assembled& file)
{
    const WebPData bare = {encoded.mem, encoded.size};
    const Mux mux(WebPMuxCreate(&bare, 1), WebPMuxDelete);
    if (!mux) throw KError(failure);
    for (const auto& [field, chunk] : {std::pair{VIPS_META_ICC_NAME, "ICCP"}, {VIPS_META_EXIF_NAME, "EXIF"}, {VIPS_META_XMP_NAME, "XMP "}}) {
        if (!image.get_typeof(field)) continue;
        size_t length = 0;
        const void* data = image.get_blob(field, &length);
        const WebPData bytes = {static_cast<const std::uint8_t*>(data), length};
        if (WebPMuxSetChunk(mux.get(), chunk, &bytes, 1) != WEBP_MUX_OK) throw KError(failure);
    }
    if (WebPMuxAssemble(mux.get(), &file) != WEBP_MUX_OK) throw KError(failure);
}

void writeFile(const Path& url, const WebPData& file)
{
    // The caller has made the file already; a failure here is a full or vanished disk.
    std::ofstream out(url, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes), std::streamsize(file.size));
    out.close();
    if (!out) throw KError(failure);
}
}

bool takes(const ImageOps::Image& image)
{
    return image.format() == VIPS_FORMAT_UCHAR && (image.bands() == 3 || image.bands() == 4);
}

void save(const ImageOps::Image& image, const Path& url, int q)
{
    if (image.width() > WEBP_MAX_DIMENSION || image.height() > WEBP_MAX_DIMENSION) throw KError(failure);
    const WebPConfig config = settings(q);
    // The EXIF rebuild writes into the image's fields: a copy of its own keeps the caller's as they are.
    ImageOps::Image out = image.copy();
    if (vips__exif_update(out.get_image()) != 0) throw vips::VError();

    Written encoded;
    {
        Picture picture;
        picture.width = out.width();
        picture.height = out.height();
        picture.colorspace = out.bands() == 4 ? WEBP_YUV420A : WEBP_YUV420;
        if (!WebPPictureAlloc(&picture)) throw KError(failure);
        Planes planes(picture, out.bands());
        if (vips_sink_disc(out.get_image(), takeStrip, &planes) != 0) throw vips::VError();
        if (!planes.finish()) throw KError(failure);
        picture.writer = WebPMemoryWrite;
        picture.custom_ptr = &encoded;
        if (!WebPEncode(&config, &picture)) throw KError(failure);
    }
    Assembled file;
    assemble(out, encoded, file);
    writeFile(url, file);
}

}
