#include "media/ImageVips.h"

#include "core/Errors.h"
#include "media/WebPSave.h"

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

namespace ImageVips {

namespace {
bool hasArgument(const std::string& operation, const char* name)
{
    VipsOperation* op = vips_operation_new(operation.c_str());
    if (!op) {
        vips_error_clear();
        return false;
    }
    GParamSpec* param = nullptr;
    VipsArgumentClass* argumentClass = nullptr;
    VipsArgumentInstance* argument = nullptr;
    const bool has = vips_object_get_argument(VIPS_OBJECT(op), name, &param, &argumentClass, &argument) == 0;
    g_object_unref(op);
    vips_error_clear();
    return has;
}

int freeBlob(void* data, void*)
{
    g_free(data);
    return 0;
}

ImageOps::Image withMetadata(const ImageOps::Image& image, const ImageOps::Metadata& metadata)
{
    ImageOps::Image out = image.copy();
    gchar** fields = vips_image_get_fields(out.get_image());
    for (gchar** field = fields; *field; ++field) {
        if (std::string(*field) != VIPS_META_ICC_NAME) out.remove(*field);
    }
    g_strfreev(fields);
    for (const auto& [field, bytes] : metadata) {
        void* copy = g_memdup2(bytes.data(), bytes.size());
        out.set(field.c_str(), freeBlob, copy, bytes.size());
    }
    return out;
}
}

int percent(double quality)
{
    return static_cast<int>(std::clamp(std::lround(quality * 100), 0L, 100L));
}

std::optional<std::string> saverFor(const std::string& ext)
{
    start();
    // ImageMagick's saver claims no extensions of its own; icons go through it by name.
    if (ext == "ico") return vips_type_find("VipsOperation", "magicksave") ? std::optional<std::string>("magicksave") : std::nullopt;
    const std::string name = "x." + ext;
    const char* saver = vips_foreign_find_save(name.c_str());
    if (!saver) {
        vips_error_clear();
        return std::nullopt;
    }
    // libvips answers with the class name ("VipsForeignSaveHeifFile"); operations go by nickname.
    const char* nickname = vips_nickname_find(g_type_from_name(saver));
    return std::string(nickname ? nickname : saver);
}

void save(const ImageOps::Image& image, const Path& url, const std::string& ext, double quality, const ImageOps::Metadata& metadata)
{
    const auto saver = saverFor(ext);
    const int fd = ::open(url.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (!saver || fd < 0) throw KError("Can't create a ." + ext + " file");
    ::close(fd);

    const int q = percent(quality);
    if (*saver == "webpsave" && WebPSave::takes(image)) {
        guarded(image, "Couldn't write ." + ext, [&] { WebPSave::save(withMetadata(image, metadata), url, q); });
        return;
    }
    vips::VOption* options = ImageOps::Image::option()->set("in", withMetadata(image, metadata))->set("filename", url.c_str());
    if (*saver == "magicksave") options->set("format", ext.c_str())->set("quality", q);
    else if (hasArgument(*saver, "Q")) options->set("Q", q);
    if (*saver == "heifsave") {
        // Chroma at half resolution, as cameras and phones write HEIF: libvips would switch to
        // full-resolution chroma from quality 90 up, encoding about twice as slowly.
        options->set("compression", ext == "avif" ? VIPS_FOREIGN_HEIF_COMPRESSION_AV1 : VIPS_FOREIGN_HEIF_COMPRESSION_HEVC)
            ->set("subsample_mode", VIPS_FOREIGN_SUBSAMPLE_ON);
    }
    try {
        ImageOps::Image::call(saver->c_str(), options);
    } catch (const vips::VError&) {
        fail(image, "Couldn't write ." + ext);
    }
}

}
