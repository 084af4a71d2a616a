#include "catalog/Catalog.h"
#include "catalog/Rows.h"

#include <map>

namespace Catalog {

WheelOptions convertOptions(FileKind kind, const Paths& urls)
{
    using Row = WheelOptions (*)(const Paths&);
    static const std::map<FileKind, Row> table = {
        {FileKind::archive, ConvertRows::archive},
        {FileKind::folder, compressOptions},
        {FileKind::other, compressOptions},
        {FileKind::document, ConvertRows::document},
        {FileKind::ebook, ConvertRows::ebook},
        {FileKind::subtitle, ConvertRows::subtitle},
        {FileKind::spreadsheet, ConvertRows::spreadsheet},
        {FileKind::image, ConvertRows::image},
        {FileKind::video, ConvertRows::video},
        {FileKind::audio, ConvertRows::audio},
        {FileKind::pdf, ConvertRows::pdf},
        {FileKind::slides, ConvertRows::slides},
    };
    const auto row = table.find(kind);
    return row == table.end() ? WheelOptions{} : row->second(urls);
}

}
