#include "FuzzSupport.h"
#include "documents/RTF.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::startGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        RTF::read(FuzzSupport::text(data, size));
    } catch (const RTF::NotRTF&) {
    }
    return 0;
}
