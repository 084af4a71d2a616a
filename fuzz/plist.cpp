#include "FuzzSupport.h"
#include "core/Errors.h"
#include "documents/TextClipping.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::startGuiApplication();
    return 0;
}

// Property lists, XML or binary, read as a text clipping and as a web archive.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Path file = FuzzSupport::written(data, size, "list.plist");
    try {
        TextClipping::read(file);
    } catch (const KError&) {
    }
    try {
        WebArchive::readHTML(file);
    } catch (const KError&) {
    }
    return 0;
}
