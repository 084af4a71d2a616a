#pragma once
#include "documents/XmlScan.h"

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A large part of a package read on every core: one thread inflates it, the calling thread
// cuts it into stretches just before start tags of one kind (the rows of a sheet), and
// reading threads each read a stretch with a scanner that starts where the part's head leaves
// a reader before the first such tag.
namespace XmlStretches {
// Thrown wherever the part does not fit reading in stretches; the caller then reads it whole,
// which also decides any failure.
struct Unsplittable {};

struct Stretch {
    std::string_view text;
    // Stretches count from 0 in the order of the part.
    std::size_t index = 0;
    bool last = false;
    // Where the part's head leaves a reader: where the stretches after the first start and
    // where all but the last end. None when the first stretch is the only one.
    const XmlScan::Scanner::Context* head = nullptr;
};

// Reads a stretch into `handler` with a scanner of its own. Every stretch but the last must
// end where the head left off, and the last must end the document; otherwise Unsplittable.
void scan(XmlScan::Handler& handler, std::span<const std::string_view> spaces, const Stretch& stretch);

// Cuts the part `entry` of `zip` before every start tag `<tag` that follows a stretch of about
// a megabyte, and calls `readStretch` for each stretch, on several threads at once and in any
// order. Throws Unsplittable when the part does not fit, or when `readStretch` threw anything.
void read(const Path& zip, const std::string& entry, std::span<const std::string_view> spaces, std::string_view tag,
          const std::function<void(const Stretch&)>& readStretch);

// What `readStretch` made of each stretch, in the order of the part.
template <class Part>
std::vector<Part> parts(const Path& zip, const std::string& entry, std::span<const std::string_view> spaces, std::string_view tag,
                        const std::function<Part(const Stretch&)>& readStretch)
{
    std::mutex mutex;
    std::map<std::size_t, Part> made;
    XmlStretches::read(zip, entry, spaces, tag, [&](const Stretch& stretch) {
        Part part = readStretch(stretch);
        const std::lock_guard lock(mutex);
        made.emplace(stretch.index, std::move(part));
    });
    std::vector<Part> inOrder;
    inOrder.reserve(made.size());
    for (auto& [index, part] : made) inOrder.push_back(std::move(part));
    return inOrder;
}
}
