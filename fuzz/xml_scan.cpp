#include "../tests/documents/XmlScanCompare.h"

#include <cstdlib>

// Whatever the fast scanner accepts, expat must read to the same events, however the
// document is cut into pieces; the first byte picks the piece size.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::string_view xml(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto fast = XmlScanCompare::scanned(xml, std::size_t(data[0]) + 1);
    if (fast && fast != XmlScanCompare::expatRead(xml)) std::abort();
    return 0;
}
