#include "FuzzSupport.h"
#include "core/Errors.h"
#include "documents/XLSXParsers.h"
#include "documents/XmlStream.h"

// The parts of a workbook read in process; the first byte picks the part: shared strings,
// styles, or a sheet whose cells refer to strings and to every kind of date style.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::string_view xml = FuzzSupport::text(data + 1, size - 1);
    try {
        switch (data[0] % 3) {
        case 0:
            XLSX::SharedStringsParser::parse(xml);
            break;
        case 1:
            XLSX::StylesParser::parse(xml);
            break;
        default: {
            using enum XLSX::DateStyle;
            const XLSX::Book book{{"one", "two"}, {none, date, time, dateTime, duration}, data[0] % 2 == 0};
            XLSX::SheetParser::parse(xml, book);
        }
        }
    } catch (const KError&) {
    } catch (const XmlStream::Malformed&) {
    }
    return 0;
}
