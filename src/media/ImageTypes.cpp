#include "media/ImageOps.h"

#include "core/Tools.h"
#include "media/ImageVips.h"

#include <QMimeDatabase>

#include <libheif/heif.h>

namespace ImageOps {

namespace {
void* collectSuffixes(VipsForeignSaveClass* saver, void* suffixes, void*)
{
    for (const char* const* suffix = VIPS_FOREIGN_CLASS(saver)->suffs; suffix && *suffix; ++suffix) {
        static_cast<std::set<std::string>*>(suffixes)->insert(lowerAscii(std::string(*suffix).substr(1)));
    }
    return nullptr;
}

// libvips' HEIF saver is there whenever libheif is, but libheif may lack the encoder a
// suffix needs (HEVC for heic, AV1 for avif).
bool encoderPresent(const std::string& suffix)
{
    static const bool ready = heif_init(nullptr).code == heif_error_Ok;
    if (suffix == "heic" || suffix == "heif") return ready && heif_have_encoder_for_format(heif_compression_HEVC);
    if (suffix == "avif") return ready && heif_have_encoder_for_format(heif_compression_AV1);
    return true;
}
}

std::optional<std::string> utType(const std::string& ext)
{
    if (ext.empty()) return std::nullopt;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromStdString("x." + lowerAscii(ext)), QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault()) return std::nullopt;
    return type.name().toStdString();
}

const std::set<std::string>& writableTypes()
{
    static const std::set<std::string> types = [] {
        ImageVips::start();
        std::set<std::string> suffixes;
        vips_foreign_map("VipsForeignSave", reinterpret_cast<VipsSListMap2Fn>(collectSuffixes), &suffixes, nullptr);
        if (ImageVips::saverFor("ico")) suffixes.insert("ico");
        std::set<std::string> found;
        for (const std::string& suffix : suffixes) {
            const auto type = utType(suffix);
            if (type && type->starts_with("image/") && encoderPresent(suffix)) found.insert(*type);
        }
        return found;
    }();
    return types;
}

bool canWrite(const std::string& extension)
{
    const std::string ext = lowerAscii(extension);
    if (ext == "pdf") return true;
    if (const auto type = utType(ext); type && writableTypes().count(*type)) return true;
    return ext == "webp" && (Tools::cwebp() || Tools::ffmpegHas("libwebp"));
}

}
