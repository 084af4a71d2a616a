#include "core/Settings.h"
#include "cli/CLI.h"
#include "windows/App.h"

int main(int argc, char** argv)
{
    LegacySettings::migrate();
    if (CLI::handle(argc, argv)) return 0;
    return App::run(argc, argv);
}
