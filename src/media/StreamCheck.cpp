#include "media/StreamCheck.h"

#include "core/Errors.h"
#include "media/MediaInput.h"

#include <memory>

namespace MediaOps {

namespace {
std::unique_ptr<MediaKit::Input> opened(const Path& url)
{
    try {
        return std::make_unique<MediaKit::Input>(url);
    } catch (const KError&) {
        return nullptr;
    }
}
}

void requireSound(const Path& url)
{
    const auto input = opened(url);
    if (input && input->bestAudio() < 0) throw KError(input->name() + " has no sound");
}

void requirePicture(const Path& url)
{
    const auto input = opened(url);
    if (input && input->bestVideo() < 0) throw KError("This video has no frames");
}

}
