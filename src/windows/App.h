#pragma once
#include "presets/FolderWatcher.h"
#include "windows/StatusMenu.h"
#include "windows/WheelController.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>

class DragMonitor;
class DragWatch;
class GlobalHotkey;
class SettingsWindow;
class WelcomeWindow;
class X11Connection;

// The tray application: started once, it keeps the status icon with its menu (or, on a desktop
// without a tray, says once how to reach Varnolt), follows the settings file, and shows the
// welcome window when asked, for the life of the process.
class App : public QObject {
    Q_OBJECT
public:
    // Runs the start-up in order; arguments are the process arguments without the program.
    explicit App(const QStringList& arguments, bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable());
    ~App() override;
    // Runs the tray application until "Quit Varnolt"; returns the exit status. A second start
    // hands its arguments to the running one and returns 0.
    static int run(int argc, char** argv);

    // "Varnolt — drag a file and tap ⇧", with the convert page's trigger key.
    static QString toolTip();
    StatusMenu& menu() { return menu_; }
    FolderWatcher& watcher() { return folders_; }
    WheelController& wheel() { return wheel_; }
    // None where the desktop cannot be watched (no X11 display).
    GlobalHotkey* hotkey() { return hotkey_.get(); }

    // The arguments of a later start, or "--perform" at the first: "--perform <mode> <option>
    // <files…>" runs that option with its toast, as if chosen on the wheel; "--wheel <files…>"
    // opens the keyboard-driven wheel for the files under the pointer; anything else shows
    // the welcome window.
    void handle(const QStringList& arguments);
    // File arguments of "--perform" and "--wheel" made absolute against this process's folder.
    static QStringList withAbsolutePaths(QStringList arguments);

    // The windows once shown (they are made on first use and kept), else none.
    WelcomeWindow* welcomeWindow() const { return welcome_.get(); }
    SettingsWindow* settingsWindow() const { return settings_.get(); }

public slots:
    // Another start of Varnolt, "--welcome", "How It Works" or the first start.
    void showWelcome();
    // "Settings…" in the menu or the welcome window.
    void showSettings();

signals:
    // Announces each showing of the welcome window.
    void welcomeRequested();

private:
    void watchFolders();
    void watchDrags();
    void applyHotkey();
    // The hotkey and "Convert Selected Files": the wheel for the file manager's selection,
    // else the file dialog.
    void convertSelection();
    void showStatusItem(bool trayAvailable);
    void watchSettings();
    void reportProblem(const QString& message);

    FolderWatcher folders_;
    QSystemTrayIcon tray_;
    StatusMenu menu_;
    QFileSystemWatcher watcher_;
    QTimer reread_;
    QSet<QString> reported_;
    WheelController wheel_;
    std::unique_ptr<X11Connection> x11_;
    std::unique_ptr<DragWatch> dragWatch_;
    std::unique_ptr<DragMonitor> monitor_;
    std::unique_ptr<GlobalHotkey> hotkey_;
    std::unique_ptr<WelcomeWindow> welcome_;
    std::unique_ptr<SettingsWindow> settings_;
};
