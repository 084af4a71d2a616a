#include "catalog/CatalogFrame.h"
#include "catalog/Rows.h"
#include "media/EditExports.h"
#include "media/ImageOps.h"
#include "media/VisionOps.h"

namespace ToolRows {

namespace {
using ImageOps::Edit;

WheelOption edit(const std::string& title, const std::string& symbol, Edit edit)
{
    return Catalog::option(title, symbol, Catalog::each([edit](const Path& url) { return ImageOps::transform(url, edit); }));
}

RunFn combine = [](const Paths& urls) { return OptionResult{{ImageOps::combineToPDF(urls)}, std::nullopt}; };
bool single(const Paths& urls)
{
    return urls.size() == 1;
}
bool subjectModel(const Paths&)
{
    return VisionOps::canRemoveBackground();
}
}

WheelOptions image(const Paths& urls)
{
    static const Catalog::Rows rows = {
        {Catalog::option("Compress", "arrow.down.right.and.arrow.up.left", Catalog::each(ImageOps::compress))},
        {Catalog::editor("Crop", "crop", Editing::Editor::crop, "Cropping…",
                         [](const Path& url, const Editing::Choice& choice) { return EditExports::cropImage(url, choice.crop.value()); })},
        {Catalog::option("Remove BG", "person.crop.rectangle", Catalog::each(VisionOps::removeBackground)), subjectModel},
        {Catalog::ocrOption(VisionOps::ocrImage)},
        {Catalog::fitOption("Fit 1 MB", 1'000'000, ImageOps::fit)},
        {edit("Resize", "rectangle.compress.vertical", Edit::halve)},
        {edit("Rotate", "rotate.right", Edit::rotate)},
        {edit("Flip", "arrow.left.and.right.righttriangle.left.righttriangle.right", Edit::flip)},
        {edit("Grayscale", "circle.lefthalf.filled", Edit::grayscale)},
        {edit("Metadata", "eye.slash", Edit::stripMetadata)},
        {Catalog::option("PDF", "doc.richtext", combine), single},
        {Catalog::option("Combine", "doc.richtext", combine), std::not_fn(single)},
    };
    return Catalog::offered(rows, urls);
}

}
