#include "FuzzSupport.h"
#include "documents/ODT.h"
#include "documents/XmlStream.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::startGuiApplication();
    return 0;
}

// content.xml and styles.xml, separated by a NUL byte.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parts = FuzzSupport::parts(data, size, 2);
    try {
        ODT::parse(parts[0], parts[1]);
    } catch (const XmlStream::Malformed&) {
    }
    return 0;
}
