#pragma once
#include "windows/StatusMenu.h"

#include <QObject>
#include <QSystemTrayIcon>

// The tray application: the status icon with its menu, for the life of the process.
class App : public QObject {
    Q_OBJECT
public:
    App();
    // Runs the tray application until "Quit Varnolt"; returns the exit status.
    static int run(int argc, char** argv);

    // "Varnolt — drag a file and tap ⇧", with the convert page's trigger key.
    static QString toolTip();

private:
    void show(const Notice& notice);

    QSystemTrayIcon tray_;
    StatusMenu menu_;
};
