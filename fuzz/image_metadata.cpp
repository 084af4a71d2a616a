#include "FuzzSupport.h"
#include "media/ImageMetadata.h"

// The EXIF block (first byte even) or XMP packet (odd) of a photo, as they are made upright.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::string block(FuzzSupport::text(data + 1, size - 1));
    if (data[0] % 2 == 0) ImageMetadata::withoutOrientation(block);
    else ImageMetadata::xmpUpright(block);
    return 0;
}
