#include "FuzzSupport.h"
#include "core/Errors.h"
#include "documents/ODS.h"
#include "documents/XmlStream.h"

// The content.xml of an OpenDocument spreadsheet.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        ODS::parseContent(FuzzSupport::text(data, size));
    } catch (const KError&) {
    } catch (const XmlStream::Malformed&) {
    }
    return 0;
}
