#include "media/VisionOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "media/ImageVips.h"
#include "media/SubjectModel.h"

#include <QStandardPaths>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdlib>

namespace VisionOps {

namespace {
// The mask is refined against a copy of the photo at most this long: the model sees 1024
// pixels, and edges refined at twice that and then scaled smoothly stay sharp at any size,
// while memory stays bounded for photos of a hundred megapixels.
constexpr int refineSide = 2048;

cv::Mat box(const cv::Mat& m, int radius)
{
    cv::Mat out;
    cv::boxFilter(m, out, CV_32F, cv::Size(2 * radius + 1, 2 * radius + 1));
    return out;
}

// He, Sun and Tang's guided filter: the mask follows the edges of the grey photo within a
// window of the radius, so a mask scaled up from the model's size snaps to hair and outlines
// instead of blurring across them.
cv::Mat guided(const cv::Mat& guide, const cv::Mat& mask, int radius, double eps)
{
    const cv::Mat meanI = box(guide, radius), meanP = box(mask, radius);
    const cv::Mat varI = box(guide.mul(guide), radius) - meanI.mul(meanI);
    const cv::Mat covIP = box(guide.mul(mask), radius) - meanI.mul(meanP);
    const cv::Mat a = covIP / (varI + eps);
    const cv::Mat b = meanP - a.mul(meanI);
    return box(a, radius).mul(guide) + box(b, radius);
}

// The 8-bit RGB pixels of an image, on white where it is transparent.
ImageOps::Image rgbPixels(const ImageOps::Image& image)
{
    return ImageOps::flatten(image).colourspace(VIPS_INTERPRETATION_sRGB).cast(VIPS_FORMAT_UCHAR).copy_memory();
}

// The subject's opacity, 0…255, at the size of rgb.
cv::Mat subjectMask(const ImageOps::Image& rgb)
{
    const cv::Mat pixels(rgb.height(), rgb.width(), CV_8UC3, const_cast<void*>(rgb.data()));
    const cv::Mat found = SubjectModel::foreground(subjectModelPath(), pixels);
    cv::Mat mask, grey, refined, alpha;
    cv::resize(found, mask, pixels.size(), 0, 0, cv::INTER_LINEAR);
    cv::cvtColor(pixels, grey, cv::COLOR_RGB2GRAY);
    grey.convertTo(grey, CV_32F, 1 / 255.0);
    const int radius = std::max(2, std::max(pixels.cols, pixels.rows) / 400);
    refined = guided(grey, mask, radius, 1e-3);
    refined.convertTo(alpha, CV_8U, 255);  // saturates below 0 and above 1
    return alpha;
}
}

Path subjectModelPath()
{
    if (const char* set = std::getenv("VARNOLT_SUBJECT_MODEL"); set && *set) return set;
    return Path(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString()) / "Varnolt" / "models" /
           "isnet-fp32.onnx";
}

bool canRemoveBackground()
{
    return SubjectModel::usable(subjectModelPath());
}

Path removeBackground(const Path& url)
{
    if (!canRemoveBackground()) throw KError("Remove Background needs its subject model — run scripts/setup again");
    const ImageOps::Loaded loaded = ImageOps::load(url);
    const ImageOps::Image& image = loaded.image;
    const double scale = std::min(1.0, double(refineSide) / std::max(image.width(), image.height()));
    const ImageOps::Image small = ImageOps::load(url, scale).image;
    const ImageOps::Image rgb = ImageVips::guarded(small, "Couldn't render the cut-out", [&] { return rgbPixels(small); });
    Progress::report(0.1);
    const cv::Mat mask = subjectMask(rgb);
    Progress::report(0.8);
    if (cv::countNonZero(mask > 127) == 0) throw KError("Couldn't find a subject in " + url.filename().string());

    const ImageOps::Image cutOut = ImageVips::guarded(image, "Couldn't render the cut-out", [&] {
        ImageOps::Image alpha = ImageOps::Image::new_from_memory(mask.data, mask.total(), mask.cols, mask.rows, 1, VIPS_FORMAT_UCHAR).copy_memory();
        alpha = ImageVips::resized(alpha, image.width(), image.height());
        if (!image.has_alpha()) return image.bandjoin(alpha);
        // A source that is already partly transparent stays so inside the subject.
        const int colours = image.bands() - 1;
        const ImageOps::Image own = image.extract_band(colours);
        return image.extract_band(0, ImageOps::Image::option()->set("n", colours)).bandjoin((own * alpha / 255).cast(VIPS_FORMAT_UCHAR));
    });
    const Path output = Output::produce(url, "png", "no background", [&](const Path& to) { ImageOps::write(cutOut, to, "png", 0.9, {}); });
    Progress::report(1);
    return output;
}

}
