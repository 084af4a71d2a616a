#include "core/Settings.h"
#include "cli/CLI.h"
#include "cli/JobMode.h"
#include "windows/App.h"
#include "windows/DesktopHooks.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    // libvips records its install prefix in the environment when it starts. It lives in a
    // module loaded on first use, maybe on a worker thread while another starts a program,
    // and setenv must not race with that: the prefix is recorded here, before any thread.
    ::setenv("VIPSHOME", VARNOLT_VIPS_PREFIX, 0);
    if (JobMode::isJob(argc, argv)) return JobMode::serve(argc, argv);
    LegacySettings::migrate();
    // Qt's own FFmpeg player plays what the media kit reads; GStreamer would need plugins
    // for every format.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "ffmpeg");
    DesktopHooks::install();
    if (CLI::handle(argc, argv)) return 0;
    return App::run(argc, argv);
}
