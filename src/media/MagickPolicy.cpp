#include "media/MagickPolicy.h"

#include "core/Paths.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <random>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace MagickPolicy {

namespace {
// Raster formats with no libvips loader. Everything else is refused: the formats libvips
// reads itself, vector and scripted formats, and pseudo-formats that read other files. Icons
// are written through ImageMagick, and hold PNG images.
const char* const readable =
    "{AAI,ART,AVS,BMP,BMP2,BMP3,CALS,CIN,CUR,CUT,DCX,DDS,DIB,DPX,DXT1,DXT5,EXR,HRZ,ICB,ICO,ICON,JNG,MIFF,MNG,MTV,OTB,"
    "PALM,PCD,PCDS,PCT,PCX,PICT,PIX,PSB,PSD,RAS,RLA,SCT,SGI,SUN,TGA,TIM,VDA,VIFF,VST,WBMP,XBM,XCF,XPM,XWD}";

std::string xmlEscaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string policy(const Path& scratch)
{
    return "<policymap>\n"
           "  <policy domain=\"resource\" name=\"temporary-path\" value=\"" + xmlEscaped(scratch.string()) + "\"/>\n"
           "  <policy domain=\"resource\" name=\"area\" value=\"250MP\"/>\n"
           "  <policy domain=\"resource\" name=\"width\" value=\"64KP\"/>\n"
           "  <policy domain=\"resource\" name=\"height\" value=\"64KP\"/>\n"
           "  <policy domain=\"resource\" name=\"time\" value=\"300\"/>\n"
           "  <policy domain=\"delegate\" rights=\"none\" pattern=\"*\"/>\n"
           "  <policy domain=\"filter\" rights=\"none\" pattern=\"*\"/>\n"
           "  <policy domain=\"path\" rights=\"none\" pattern=\"@*\"/>\n"
           "  <policy domain=\"coder\" rights=\"none\" pattern=\"*\"/>\n"
           "  <policy domain=\"coder\" rights=\"read\" pattern=\"" + std::string(readable) + "\"/>\n"
           "  <policy domain=\"coder\" rights=\"read|write\" pattern=\"{ICO,PNG}\"/>\n"
           "</policymap>\n";
}

constexpr std::string_view prefix = "varnolt-magick-";

// The private folder is named, and ImageMagick pointed at it, while the process is still
// single-threaded (setenv races with every getenv); it is made only when an image needs it.
class Confinement {
public:
    Confinement()
    {
        const char* temp = std::getenv("TMPDIR");
        std::random_device random;
        folder_ = Path(temp && *temp ? temp : "/tmp") /
                  (std::string(prefix) + std::to_string(::getpid()) + "-" + std::to_string(random()) + std::to_string(random()));
        ::setenv("MAGICK_CONFIGURE_PATH", folder_.c_str(), 1);
    }
    Confinement(const Confinement&) = delete;
    Confinement& operator=(const Confinement&) = delete;
    ~Confinement()
    {
        std::error_code ignored;
        if (made_) std::filesystem::remove_all(folder_, ignored);
    }

    bool make()
    {
        std::call_once(once_, [this] {
            sweep();
            // A folder of that name that exists already is not ours to trust.
            if (::mkdir(folder_.c_str(), 0700) != 0) return;
            made_ = true;
            const Path scratch = folder_ / "scratch";
            if (::mkdir(scratch.c_str(), 0700) != 0) return;
            std::ofstream out(folder_ / "policy.xml", std::ios::binary);
            out << policy(scratch);
            out.close();
            ready_ = static_cast<bool>(out);
        });
        return ready_;
    }

private:
    // Removes the folders that processes of ours left when they were killed.
    void sweep() const
    {
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folder_.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (!name.starts_with(prefix)) continue;
            struct stat info {};
            const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
            if (pid <= 0 || ::lstat(it->path().c_str(), &info) != 0 || info.st_uid != ::getuid() || !S_ISDIR(info.st_mode)) continue;
            if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
                std::error_code ignored;
                std::filesystem::remove_all(it->path(), ignored);
            }
        }
    }

    Path folder_;
    std::once_flag once_;
    bool made_ = false;
    bool ready_ = false;
};

Confinement confinement;
}

bool confine()
{
    return confinement.make();
}

}
