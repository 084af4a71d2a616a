#include "FuzzSupport.h"
#include "core/Errors.h"
#include "documents/XLSX.h"

// Whole workbooks, as the zip they are: relationships, workbook, styles, strings and sheet.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        XLSX::read(FuzzSupport::written(data, size, "book.xlsx"));
    } catch (const KError&) {
    }
    return 0;
}
