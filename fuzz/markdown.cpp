#include "FuzzSupport.h"
#include "core/Errors.h"
#include "documents/Markdown.h"

// Markdown documents block by block, and the same text as one inline paragraph.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(FuzzSupport::text(data, size));
    Markdown::toHTML(text);
    Markdown::inlineHTML(text);
    return 0;
}
