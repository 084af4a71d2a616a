#include "windows/App.h"

#include "core/OptionRun.h"
#include "core/Settings.h"
#include "windows/StatusIcon.h"

#include <QApplication>
#include <QCursor>

#include <cstdio>

App::App() : menu_([this](const Notice& notice) { show(notice); })
{
    tray_.setIcon(StatusIcon::icon());
    tray_.setToolTip(toolTip());
    tray_.setContextMenu(menu_.menu());
    // The convert trigger key may change while the application runs.
    connect(&Settings::notifier(), &SettingsNotifier::changed, this, [this] { tray_.setToolTip(toolTip()); });
    // Most panels open the context menu on a right click only; a left click opens it too.
    connect(&tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) menu_.menu()->popup(QCursor::pos());
    });
    tray_.show();
}

QString App::toolTip()
{
    return QString::fromStdString("Varnolt — drag a file and tap " + TriggerKeys::glyph(Settings::key(WheelMode::convert)));
}

void App::show(const Notice& notice)
{
    tray_.showMessage(QString::fromStdString(notice.title), QString::fromStdString(notice.subtitle),
                      notice.failed ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
}

int App::run(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("Varnolt's tray application needs a display; without one use --run, --list or --undo.\n", stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Varnolt");
    QApplication::setApplicationName("Varnolt");
    // The tray is the application: closing a dialog must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    Settings::registerDefaults();
    int status = 0;
    {
        App app;
        status = QApplication::exec();
    }
    // Runs still in progress finish first, so that quitting never leaves a half-written output.
    OptionRun::waitForAll();
    return status;
}
