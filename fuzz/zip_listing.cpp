#include "FuzzSupport.h"
#include "core/Errors.h"
#include "documents/ArchiveMembers.h"

// unzip's listing of a hostile archive, and the judgement of its members.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ArchiveMembers::Members members = ArchiveMembers::fromZipListing(FuzzSupport::text(data, size));
    ArchiveMembers::firstEscaping(members);
    for (const ArchiveMembers::Member& member : members) ArchiveMembers::item(member.name, "is checked");
    return 0;
}
