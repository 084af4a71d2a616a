#pragma once
#include "presets/FolderWatcher.h"
#include "windows/StatusMenu.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QTimer>

// The tray application: started once, it keeps the status icon with its menu (or, on a desktop
// without a tray, says once how to reach Varnolt), follows the settings file, and shows the
// welcome window when asked, for the life of the process.
class App : public QObject {
    Q_OBJECT
public:
    // Runs the start-up in order; arguments are the process arguments without the program.
    explicit App(const QStringList& arguments, bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable());
    // Runs the tray application until "Quit Varnolt"; returns the exit status. A second start
    // hands its arguments to the running one and returns 0.
    static int run(int argc, char** argv);

    // "Varnolt — drag a file and tap ⇧", with the convert page's trigger key.
    static QString toolTip();
    StatusMenu& menu() { return menu_; }
    FolderWatcher& watcher() { return folders_; }

    // The arguments of a later start, or "--perform" at the first: "--perform <mode> <option>
    // <files…>" runs that option with its toast, as if chosen on the wheel; anything else
    // shows the welcome window.
    void handle(const QStringList& arguments);
    // File arguments of "--perform" and "--wheel" made absolute against this process's folder.
    static QStringList withAbsolutePaths(QStringList arguments);

public slots:
    // Another start of Varnolt, "--welcome" or the first start: the welcome window.
    void showWelcome();

signals:
    // Announces the welcome window's request until that window exists.
    void welcomeRequested();

private:
    void watchFolders();
    void showStatusItem(bool trayAvailable);
    void watchSettings();
    void reportProblem(const QString& message);

    FolderWatcher folders_;
    QSystemTrayIcon tray_;
    StatusMenu menu_;
    QFileSystemWatcher watcher_;
    QTimer reread_;
    QSet<QString> reported_;
};
