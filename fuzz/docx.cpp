#include "FuzzSupport.h"
#include "documents/DOCX.h"
#include "documents/XmlStream.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::startGuiApplication();
    return 0;
}

// The body, relationships, styles and numbering parts, separated by NUL bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parts = FuzzSupport::parts(data, size, 4);
    try {
        DOCX::parse({parts[0], parts[1], parts[2], parts[3]});
    } catch (const XmlStream::Malformed&) {
    }
    return 0;
}
