#include "FuzzSupport.h"
#include "core/Errors.h"
#include "documents/SpreadsheetOps.h"
#include "documents/TextFile.h"

// CSV and TSV as their files are read: decoded from whatever encoding, then split. The first
// byte picks the separator.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const char separator = data[0] % 2 ? '\t' : ',';
    try {
        Table table = SpreadsheetOps::parseDelimited(TextFile::decode(std::string(FuzzSupport::text(data + 1, size - 1))), separator);
        SpreadsheetOps::trim(table);
        SpreadsheetOps::delimited(table, ",");
    } catch (const KError&) {
    }
    return 0;
}
