#include "core/Settings.h"
#include "cli/CLI.h"
#include "cli/JobMode.h"
#include "windows/App.h"

int main(int argc, char** argv)
{
    if (JobMode::isJob(argc, argv)) return JobMode::serve(argc, argv);
    LegacySettings::migrate();
    if (CLI::handle(argc, argv)) return 0;
    return App::run(argc, argv);
}
