#include "media/ImageOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Tools.h"
#include "media/ImageVips.h"

#include <QMimeDatabase>

namespace ImageOps {

namespace {
void* collectSuffixes(VipsForeignSaveClass* saver, void* suffixes, void*)
{
    for (const char* const* suffix = VIPS_FOREIGN_CLASS(saver)->suffs; suffix && *suffix; ++suffix) {
        static_cast<std::set<std::string>*>(suffixes)->insert(lowerAscii(std::string(*suffix).substr(1)));
    }
    return nullptr;
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
    // A saver can be present while its encoder is not (libheif without x265, say), so each
    // type counts only once a tiny image has actually been saved with it.
    static const std::set<std::string> types = [] {
        ImageVips::start();
        std::set<std::string> suffixes = {"ico"};
        vips_foreign_map("VipsForeignSave", reinterpret_cast<VipsSListMap2Fn>(collectSuffixes), &suffixes, nullptr);
        std::set<std::string> found;
        try {
            Output::ScratchDir scratch;
            const Image sample = Image::black(8, 8, Image::option()->set("bands", 3)).copy(Image::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
            for (const std::string& suffix : suffixes) {
                const auto type = utType(suffix);
                if (!type || !type->starts_with("image/") || found.count(*type)) continue;
                try {
                    ImageVips::save(sample, scratch.path() / ("probe." + suffix), suffix, 0.9, {});
                    found.insert(*type);
                } catch (const KError&) {
                }
            }
        } catch (const std::exception&) {
            // No scratch folder or no libvips: nothing can be written through it.
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
