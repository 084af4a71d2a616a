#include "documents/PDFOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "documents/PDFFiles.h"
#include "media/ImageVips.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cmath>
#include <map>
#include <optional>

namespace PDFOps {

namespace {
// Images drawn at more than this many pixels per inch are brought down to it.
constexpr double targetDpi = 150;
constexpr double jpegQuality = 0.6;
// Forms inside forms deeper than this are not followed (real files nest two or three).
constexpr std::size_t maxFormDepth = 16;

// The linear part of a transformation matrix; translation does not change sizes.
struct Linear {
    double a = 1, b = 0, c = 0, d = 1;
};

// m applied after o, as PDF's "cm" concatenates.
Linear times(const Linear& m, const Linear& o)
{
    return {m.a * o.a + m.b * o.c, m.a * o.b + m.b * o.d, m.c * o.a + m.d * o.c, m.c * o.b + m.d * o.d};
}

std::optional<Linear> linear(std::vector<QPDFObjectHandle> numbers)
{
    if (numbers.size() != 6) return std::nullopt;
    for (QPDFObjectHandle& number : numbers) {
        if (!number.isNumber()) return std::nullopt;
    }
    return Linear{numbers[0].getNumericValue(), numbers[1].getNumericValue(), numbers[2].getNumericValue(), numbers[3].getNumericValue()};
}

// The lowest resolution at which each image is drawn anywhere, in pixels per inch.
using Resolutions = std::map<QPDFObjGen, double>;

// Follows a content stream's graphics state to learn the size at which each image lands on
// the page, descending into forms.
class Placements : public QPDFObjectHandle::ParserCallbacks {
public:
    Placements(QPDFObjectHandle resources, Linear ctm, Resolutions& found, std::vector<QPDFObjGen>& forms)
        : resources_(std::move(resources)), ctm_(ctm), found_(found), forms_(forms)
    {
    }

    void handleObject(QPDFObjectHandle object, size_t, size_t) override
    {
        if (!object.isOperator()) {
            operands_.push_back(object);
            return;
        }
        const std::string op = object.getOperatorValue();
        if (op == "q") {
            saved_.push_back(ctm_);
        } else if (op == "Q" && !saved_.empty()) {
            ctm_ = saved_.back();
            saved_.pop_back();
        } else if (op == "cm") {
            if (const auto m = linear(operands_)) ctm_ = times(*m, ctm_);
        } else if (op == "Do" && operands_.size() == 1 && operands_[0].isName()) {
            place(operands_[0].getName());
        }
        operands_.clear();
    }
    void handleEOF() override {}

private:
    void place(const std::string& name)
    {
        if (!resources_.isDictionary()) return;
        QPDFObjectHandle xobjects = resources_.getKey("/XObject");
        QPDFObjectHandle xobject = xobjects.isDictionary() ? xobjects.getKey(name) : QPDFObjectHandle::newNull();
        if (!xobject.isStream()) return;
        QPDFObjectHandle dict = xobject.getDict();
        if (xobject.isImage()) {
            // The image fills the unit square: its sides land as long as the matrix's columns.
            const double across = std::hypot(ctm_.a, ctm_.b) / 72, down = std::hypot(ctm_.c, ctm_.d) / 72;
            QPDFObjectHandle width = dict.getKey("/Width"), height = dict.getKey("/Height");
            if (across <= 0 || down <= 0 || !width.isInteger() || !height.isInteger()) return;
            const double dpi = std::min(width.getIntValue() / across, height.getIntValue() / down);
            const auto [at, added] = found_.emplace(xobject.getObjGen(), dpi);
            if (!added) at->second = std::min(at->second, dpi);
        } else if (xobject.isFormXObject()) {
            const QPDFObjGen id = xobject.getObjGen();
            if (forms_.size() >= maxFormDepth || std::find(forms_.begin(), forms_.end(), id) != forms_.end()) return;
            std::vector<QPDFObjectHandle> matrix = dict.getKey("/Matrix").isArray() ? dict.getKey("/Matrix").getArrayAsVector()
                                                                                    : std::vector<QPDFObjectHandle>{};
            QPDFObjectHandle resources = dict.getKey("/Resources");
            forms_.push_back(id);
            Placements inner(resources.isDictionary() ? resources : resources_, times(linear(matrix).value_or(Linear{}), ctm_), found_,
                             forms_);
            xobject.parseAsContents(&inner);
            forms_.pop_back();
        }
    }

    QPDFObjectHandle resources_;
    Linear ctm_;
    std::vector<Linear> saved_;
    std::vector<QPDFObjectHandle> operands_;
    Resolutions& found_;
    std::vector<QPDFObjGen>& forms_;
};

// 1 for grey, 3 for RGB; 0 for colour spaces whose samples JPEG cannot carry as they are.
int components(QPDFObjectHandle space)
{
    if (space.isNameAndEquals("/DeviceRGB")) return 3;
    if (space.isNameAndEquals("/DeviceGray")) return 1;
    if (space.isArray() && space.getArrayNItems() == 2 && space.getArrayItem(0).isNameAndEquals("/ICCBased") &&
        space.getArrayItem(1).isStream()) {
        QPDFObjectHandle n = space.getArrayItem(1).getDict().getKey("/N");
        if (n.isInteger() && (n.getIntValue() == 1 || n.getIntValue() == 3)) return int(n.getIntValue());
    }
    return 0;
}

bool isJPEG(QPDFObjectHandle filter)
{
    if (filter.isArray() && filter.getArrayNItems() == 1) filter = filter.getArrayItem(0);
    return filter.isNameAndEquals("/DCTDecode");
}

// Re-encodes one image at targetDpi as JPEG when that keeps its look (8-bit grey or RGB, no
// colour-key mask or decode array) and makes it smaller; otherwise leaves it alone.
void shrink(QPDFObjectHandle image, double dpi)
{
    QPDFObjectHandle dict = image.getDict();
    const int bands = components(dict.getKey("/ColorSpace"));
    QPDFObjectHandle bits = dict.getKey("/BitsPerComponent");
    if (bands == 0 || !bits.isInteger() || bits.getIntValue() != 8 || dict.getKey("/Mask").isArray() || dict.hasKey("/Decode")) return;
    const long long width = dict.getKey("/Width").getIntValue(), height = dict.getKey("/Height").getIntValue();
    if (width < 1 || height < 1 || width * height > ImageOps::maxPixels) return;

    const double scale = targetDpi / dpi;
    const std::shared_ptr<Buffer> raw = image.getRawStreamData();
    std::shared_ptr<Buffer> samples;
    ImageOps::Image pixels;
    try {
        if (isJPEG(dict.getKey("/Filter"))) {
            // JPEG decodes at 1/2, 1/4 or 1/8 of its size far faster than whole.
            int shrinkOnLoad = 1;
            while (shrinkOnLoad < 8 && scale * shrinkOnLoad * 2 <= 1) shrinkOnLoad *= 2;
            pixels = ImageOps::Image::new_from_buffer(raw->getBuffer(), raw->getSize(), "",
                                                      ImageOps::Image::option()->set("shrink", shrinkOnLoad)->set("fail_on", VIPS_FAIL_ON_ERROR));
        } else {
            samples = image.getStreamData(qpdf_dl_generalized);
            if (samples->getSize() < std::size_t(width * height * bands)) return;
            pixels = ImageOps::Image::new_from_memory(samples->getBuffer(), width * height * bands, int(width), int(height), bands,
                                                      VIPS_FORMAT_UCHAR);
        }
        if (pixels.bands() != bands || pixels.format() != VIPS_FORMAT_UCHAR) return;
        pixels = pixels.copy(ImageOps::Image::option()->set("interpretation", bands == 1 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB));
        const ImageOps::Image smaller = ImageOps::resize(pixels, std::min(1.0, scale * width / pixels.width()));
        VipsBlob* jpeg = smaller.jpegsave_buffer(ImageOps::Image::option()->set("Q", ImageVips::percent(jpegQuality))->set("strip", true));
        const std::string bytes(static_cast<const char*>(VIPS_AREA(jpeg)->data), VIPS_AREA(jpeg)->length);
        vips_area_unref(VIPS_AREA(jpeg));
        if (bytes.size() >= raw->getSize()) return;
        image.replaceStreamData(bytes, QPDFObjectHandle::newName("/DCTDecode"), QPDFObjectHandle::newNull());
        dict.replaceKey("/Width", QPDFObjectHandle::newInteger(smaller.width()));
        dict.replaceKey("/Height", QPDFObjectHandle::newInteger(smaller.height()));
    } catch (const vips::VError&) {
        vips_error_clear();
    } catch (const std::exception&) {
        // Stream data qpdf cannot decode (JPEG 2000, JBIG2, fax) stays as it is.
    }
}

void shrinkImages(QPDF& pdf)
{
    ImageVips::start();
    std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
    Resolutions found;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::vector<QPDFObjGen> forms;
        Placements placements(pages[i].getAttribute("/Resources", false), Linear{}, found, forms);
        try {
            pages[i].parseContents(&placements);
        } catch (const std::exception&) {
            // A page whose content cannot be read keeps its images as they are.
        }
        Progress::report(0.3 * double(i + 1) / pages.size());
    }
    std::size_t done = 0;
    for (const auto& [id, dpi] : found) {
        if (dpi > targetDpi) shrink(pdf.getObjectByObjGen(id), dpi);
        Progress::report(0.3 + 0.6 * double(++done) / found.size());
    }
}
}

Path compress(const Path& url)
{
    const std::unique_ptr<QPDF> pdf = PDFFiles::load(url);
    shrinkImages(*pdf);
    return Output::produce(url, "pdf", "compressed", [&](const Path& to) {
        PDFFiles::save(*pdf, to, "Couldn't write PDF", [](QPDFWriter& writer) {
            writer.setObjectStreamMode(qpdf_o_generate);
            writer.setCompressStreams(true);
            writer.setRecompressFlate(true);
            writer.setDecodeLevel(qpdf_dl_generalized);
            PDFFiles::reportWriting(writer, 0.9);
        });
        if (Output::size(to) >= Output::size(url)) throw KError("This PDF is already as small as it can get");
    });
}

}
