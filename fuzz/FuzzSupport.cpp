#include "FuzzSupport.h"

#include <QGuiApplication>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace FuzzSupport {

std::string_view text(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

const Path& scratch()
{
    static const Path folder = [] {
        std::string name = (std::filesystem::temp_directory_path() / "varnolt-fuzz-XXXXXX").string();
        if (!mkdtemp(name.data())) throw std::runtime_error("cannot make a scratch folder");
        std::atexit([] { std::filesystem::remove_all(scratch()); });
        // Outputs land beside their sources whatever the user's own settings say.
        setenv("HOME", name.c_str(), 1);
        setenv("XDG_CONFIG_HOME", name.c_str(), 1);
        return Path(name);
    }();
    return folder;
}

Path written(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    const Path file = scratch() / name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
    return file;
}

std::vector<std::string> parts(const std::uint8_t* data, std::size_t size, std::size_t count)
{
    std::vector<std::string> out(count);
    const std::string_view all = text(data, size);
    std::size_t start = 0;
    for (std::size_t i = 0; i < count && start <= all.size(); ++i) {
        const std::size_t end = i + 1 == count ? all.size() : std::min(all.find('\0', start), all.size());
        out[i] = std::string(all.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

void startGuiApplication()
{
    scratch();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

}
