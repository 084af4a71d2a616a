// Drives the media kit for bench/media.sh where the command line has no option for the work:
//   media_bench convert <source> <ext>              MediaOps::convert, as a run of the app does it
//   media_bench trim <source> <out> <start> <end>   a Passthrough copy of that time range
//   media_bench duration <files…>                   prints each file's length
//   media_bench frame <folder> <files…>             writes the picture at 0.5 s of each file as PNG
#include "core/Errors.h"
#include "media/MediaFrames.h"
#include "media/MediaOps.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "convert" && argc == 4) {
            std::printf("%s\n", MediaOps::convert(argv[2], argv[3]).c_str());
        } else if (command == "trim" && argc == 6) {
            MediaKit::ExportOptions range;
            range.timeRange = MediaKit::TimeRange{std::stod(argv[4]), std::stod(argv[5])};
            MediaOps::exportMedia(argv[2], argv[3], MediaKit::Preset::passthrough, MediaKit::FileType::quickTimeMovie, range);
        } else if (command == "duration") {
            for (int i = 2; i < argc; ++i) std::printf("%.3f\n", MediaOps::duration(argv[i]));
        } else if (command == "frame" && argc > 2) {
            for (int i = 3; i < argc; ++i) {
                const Path source = argv[i];
                ImageOps::write(MediaOps::firstFrame(source), Path(argv[2]) / (source.stem().string() + ".png"), "png", 0.9, {});
            }
        } else {
            std::fprintf(stderr, "usage: media_bench convert <source> <ext> | trim <source> <out> <start> <end> | duration <files…> | frame <folder> <files…>\n");
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ERROR: %s\n", e.what());
        return 1;
    }
    return 0;
}
