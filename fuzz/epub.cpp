#include "FuzzSupport.h"
#include "core/Errors.h"
#include "documents/EPUB.h"

// Whole books, as the zip they are: container, package document and chapters.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        EPUB::readHTML(FuzzSupport::written(data, size, "book.epub"));
    } catch (const KError&) {
    }
    return 0;
}
