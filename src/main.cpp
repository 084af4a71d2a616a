#include "core/Settings.h"
#include "cli/CLI.h"
#include "cli/JobMode.h"
#include "windows/App.h"
#include "windows/DesktopHooks.h"

int main(int argc, char** argv)
{
    if (JobMode::isJob(argc, argv)) return JobMode::serve(argc, argv);
    LegacySettings::migrate();
    // Qt's own FFmpeg player plays what the media kit reads; GStreamer would need plugins
    // for every format.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "ffmpeg");
    DesktopHooks::install();
    if (CLI::handle(argc, argv)) return 0;
    return App::run(argc, argv);
}
