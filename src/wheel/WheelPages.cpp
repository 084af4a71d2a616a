#include "wheel/WheelPages.h"

namespace WheelPages {

std::vector<WheelOptions> split(const WheelOptions& options)
{
    const size_t n = options.size();
    if (n <= maxPerPage) return {options};
    const size_t pages = (n + maxPerPage - 1) / maxPerPage;
    const size_t size = (n + pages - 1) / pages;
    std::vector<WheelOptions> result;
    for (size_t start = 0; start < n; start += size) {
        const size_t end = std::min(n, start + size);
        result.emplace_back(options.begin() + start, options.begin() + end);
    }
    return result;
}

}
