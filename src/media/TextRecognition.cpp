#include "media/VisionOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "media/ImageVips.h"

#include <QSaveFile>
#include <QString>

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

namespace VisionOps {

namespace {
const char* const missingData = "Text recognition needs its English data — install it with: sudo apt install tesseract-ocr-eng";

// Tesseract misreads lines lower than this (print under about 12 pixels): those are read
// again from an enlarged copy. Screen text of 16 pixels and more is read well at its size, so
// screenshots take one pass.
constexpr int smallLineHeight = 16;
constexpr double targetLineHeight = 32;
// Photos above this are read from a smaller decode: print in them is large enough, and the
// engine's time and memory grow with the pixel count.
constexpr std::int64_t maxRecognitionPixels = 24'000'000;

// One engine per thread: making one loads the language data (a few tenths of a second), so it
// is kept for the pages and files that follow on the same thread.
tesseract::TessBaseAPI& engine()
{
    thread_local std::unique_ptr<tesseract::TessBaseAPI> api;
    if (api) return *api;
    auto made = std::make_unique<tesseract::TessBaseAPI>();
    if (made->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) != 0) throw KError(missingData);
    // With the orientation data, pages that lie on their side or upside down are turned first.
    const bool osd = std::filesystem::exists(Path(made->GetDatapath()) / "osd.traineddata");
    made->SetPageSegMode(osd ? tesseract::PSM_AUTO_OSD : tesseract::PSM_AUTO);
    api = std::move(made);
    return *api;
}

struct Reading {
    std::vector<std::string> lines;
    std::vector<int> heights;
};

// Reads grey 8-bit pixels held in memory.
Reading read(const ImageOps::Image& grey)
{
    const auto* pixels = static_cast<const unsigned char*>(grey.data());
    tesseract::TessBaseAPI& api = engine();
    api.SetImage(pixels, grey.width(), grey.height(), 1, grey.width());
    api.SetSourceResolution(300);
    Reading reading;
    if (api.Recognize(nullptr) != 0) {
        api.Clear();
        throw KError("Couldn't read the picture's text");
    }
    const std::unique_ptr<tesseract::ResultIterator> line(api.GetIterator());
    if (line && !line->Empty(tesseract::RIL_TEXTLINE)) {
        do {
            const std::unique_ptr<char[]> text(line->GetUTF8Text(tesseract::RIL_TEXTLINE));
            QString trimmed = QString::fromUtf8(text ? text.get() : "").trimmed();
            if (trimmed.isEmpty()) continue;
            reading.lines.push_back(trimmed.toStdString());
            int left = 0, top = 0, right = 0, bottom = 0;
            if (line->BoundingBox(tesseract::RIL_TEXTLINE, &left, &top, &right, &bottom)) {
                reading.heights.push_back(std::min(bottom - top, right - left));
            }
        } while (line->Next(tesseract::RIL_TEXTLINE));
    }
    api.Clear();
    return reading;
}

int medianHeight(std::vector<int> heights)
{
    if (heights.empty()) return 0;
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    return heights[heights.size() / 2];
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    return text;
}

void writeText(const Path& to, const std::string& text)
{
    QSaveFile file(QString::fromStdString(to.string()));
    const bool written = file.open(QIODevice::WriteOnly) && file.write(text.data(), qint64(text.size())) == qint64(text.size()) && file.commit();
    if (!written) throw KError("Couldn't write " + to.filename().string() + ": " + file.errorString().toStdString());
}
}

std::string recognizeText(const ImageOps::Image& image)
{
    // Grey on white, as the engine takes it, held once: a loaded image streams from its file
    // only once, and small print is read a second time.
    const ImageOps::Image grey = ImageVips::guarded(image, "Couldn't read the picture's text", [&] {
        return ImageOps::flatten(image).colourspace(VIPS_INTERPRETATION_B_W).cast(VIPS_FORMAT_UCHAR).copy_memory();
    });
    Reading reading = read(grey);
    const int height = medianHeight(reading.heights);
    const double scale = height > 0 ? std::min(4.0, targetLineHeight / height) : 1;
    const double pixels = double(grey.width()) * grey.height() * scale * scale;
    if (height > 0 && height < smallLineHeight && pixels <= maxRecognitionPixels) {
        const ImageOps::Image larger = ImageVips::guarded(grey, "Couldn't read the picture's text", [&] {
            return grey.resize(scale, ImageOps::Image::option()->set("kernel", VIPS_KERNEL_CUBIC)).copy_memory();
        });
        Reading again = read(larger);
        if (!again.lines.empty()) reading = std::move(again);
    }
    return joined(reading.lines);
}

TextOutput ocrImage(const Path& url)
{
    ImageOps::Loaded loaded = ImageOps::load(url);
    const double pixels = double(loaded.image.width()) * loaded.image.height();
    if (pixels > maxRecognitionPixels) loaded = ImageOps::load(url, std::sqrt(maxRecognitionPixels / pixels));
    std::string text = recognizeText(loaded.image);
    if (QString::fromStdString(text).trimmed().isEmpty()) throw KError("No text found in " + url.filename().string());
    const Path output = Output::produce(url, "txt", "text", [&](const Path& to) { writeText(to, text); });
    return {output, std::move(text)};
}

}
