#include "catalog/Catalog.h"
#include "catalog/Rows.h"

#include <map>

namespace Catalog {

WheelOptions toolOptions(FileKind kind, const Paths& urls)
{
    using Row = WheelOptions (*)(const Paths&);
    static const std::map<FileKind, Row> table = {
        {FileKind::archive, ToolRows::archive},
        {FileKind::audio, ToolRows::audio},
        {FileKind::document, ToolRows::document},
        {FileKind::ebook, ToolRows::document},
        {FileKind::spreadsheet, ToolRows::spreadsheet},
        {FileKind::image, ToolRows::image},
        {FileKind::pdf, ToolRows::pdf},
        {FileKind::video, ToolRows::video},
    };
    const auto row = table.find(kind);
    WheelOptions options = row == table.end() ? WheelOptions{} : row->second(urls);
    // Every tools page but an archive's ends with packing the selection into one zip.
    if (kind != FileKind::archive) {
        WheelOption zip = compressOptions(urls).front();
        zip.title = "Zip";
        options.push_back(std::move(zip));
    }
    return options;
}

}
