#include "core/Modules.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace {
[[noreturn]] void broken(const char* module, const char* detail)
{
    if (!detail) detail = "no reason given";
    std::fprintf(stderr, "Varnolt is incomplete: %s could not be loaded (%s). Reinstall Varnolt.\n", module, detail);
    std::abort();
}

// Beside the program (a build), else where an installation puts it. Local: the module's own
// symbols stay out of the way of the program's entries.
void* load(const char* module)
{
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) broken(module, ec.message().c_str());
    const std::filesystem::path folder = program.parent_path();
    for (const std::filesystem::path& candidate : {folder / module, folder / VARNOLT_MODULE_DIR / module}) {
        if (!std::filesystem::exists(candidate, ec)) continue;
        if (void* handle = ::dlopen(candidate.c_str(), RTLD_LAZY | RTLD_LOCAL)) return handle;
        broken(module, ::dlerror());
    }
    broken(module, ("not found beside " + program.string()).c_str());
}
}

extern "C" void* varnoltModuleEntry(const char* module, const char* name, void** slot) noexcept
{
    static std::mutex mutex;
    static std::map<std::string, void*, std::less<>> loaded;
    void* handle = nullptr;
    {
        const std::lock_guard lock(mutex);
        auto found = loaded.find(std::string_view(module));
        if (found == loaded.end()) found = loaded.emplace(module, load(module)).first;
        handle = found->second;
    }
    void* function = ::dlsym(handle, name);
    if (!function) broken(module, ::dlerror());
    __atomic_store_n(slot, function, __ATOMIC_RELEASE);
    return function;
}
