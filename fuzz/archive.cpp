#include "FuzzSupport.h"
#include "core/Errors.h"
#include "documents/ArchiveReader.h"

// Archives of every format libarchive reads, extracted into a folder of their own.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Path archive = FuzzSupport::written(data, size, "input");
    const Path folder = FuzzSupport::scratch() / "out";
    std::filesystem::create_directory(folder);
    try {
        ArchiveReader::extract(archive, folder);
    } catch (const KError&) {
    }
    std::filesystem::remove_all(folder);
    return 0;
}
