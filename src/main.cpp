#include "core/Settings.h"
#include "core/cli/CLI.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    LegacySettings::migrate();
    if (CLI::handle(argc, argv)) return 0;

    QApplication app(argc, argv);
    QApplication::setOrganizationName("Varnolt");
    QApplication::setApplicationName("Varnolt");
    Settings::registerDefaults();
    std::fputs("Varnolt's menu-bar application is not part of this build yet; use --run, --list or --undo.\n", stderr);
    return 0;
}
