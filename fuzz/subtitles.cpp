#include "FuzzSupport.h"
#include "core/Errors.h"
#include "documents/SubtitleOps.h"

#include <array>

// SRT and VTT files read and written again as SRT, VTT or text; the first byte picks the
// source's format and the target.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    static const std::array<std::string, 3> targets{"srt", "vtt", "txt"};
    const Path source = FuzzSupport::written(data, size, data[0] % 2 ? "cues.vtt" : "cues.srt");
    try {
        std::filesystem::remove(SubtitleOps::convert(source, targets[data[0] / 2 % 3]));
    } catch (const KError&) {
    }
    return 0;
}
