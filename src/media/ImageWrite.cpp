#include "media/ImageOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Shell.h"
#include "core/Tools.h"
#include "media/ImageVips.h"

namespace ImageOps {

namespace {
// The external encoders read a lossless PNG from a scratch folder; they write no metadata.
Path scratchPNG(const Image& image, const Output::ScratchDir& scratch)
{
    const Path png = scratch.path() / "in.png";
    write(image, png, "png", 0.9, {});
    return png;
}
}

void write(Image image, const Path& url, const std::string& extension, double quality, const Metadata& metadata)
{
    ImageVips::start();
    const std::string ext = lowerAscii(extension);
    const Path target = absoluteNormal(url);
    if ((ext == "jpg" || ext == "jpeg" || ext == "bmp") && image.has_alpha()) image = flatten(image);
    if (ext == "ico") image = squareIcon(image, 256);
    if (ext == "pdf") {
        writePDF({image}, target);
        return;
    }
    if (const auto type = utType(ext); type && writableTypes().count(*type)) {
        ImageVips::save(image, target, ext, quality, metadata);
        return;
    }
    const std::string q = std::to_string(ImageVips::percent(quality));
    if (ext == "webp") {
        if (const auto cwebp = Tools::cwebp()) {
            Output::ScratchDir scratch;
            const Path png = scratchPNG(image, scratch);
            Shell::run(*cwebp, {"-quiet", "-q", q, "-alpha_q", "100", png.string(), "-o", target.string()});
            return;
        }
    }
    const auto ffmpeg = Tools::ffmpeg();
    if (!ffmpeg) throw KError("." + ext + " output needs ffmpeg (sudo apt install ffmpeg)");
    Output::ScratchDir scratch;
    std::vector<std::string> args = {"-y", "-hide_banner", "-loglevel", "error", "-i", scratchPNG(image, scratch).string()};
    if (ext == "webp") args.insert(args.end(), {"-c:v", "libwebp", "-quality", q});
    args.push_back(target.string());
    Shell::run(*ffmpeg, args);
}

}
