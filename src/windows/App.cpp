#include "windows/App.h"

#include "catalog/Catalog.h"
#include "core/Errors.h"
#include "core/OptionRun.h"
#include "core/Paths.h"
#include "core/Settings.h"
#include "platform/Clipboard.h"
#include "platform/DragWatch.h"
#include "platform/FileSelection.h"
#include "platform/GlobalHotkey.h"
#include "platform/SingleInstance.h"
#include "platform/X11Connection.h"
#include "presets/PresetStore.h"
#include "windows/DragMonitor.h"
#include "windows/Runner.h"
#include "windows/SettingsWindow.h"
#include "windows/StatusIcon.h"
#include "windows/Toast.h"
#include "windows/WelcomeWindow.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>

App::App(const QStringList& arguments, bool trayAvailable)
{
    Settings::registerDefaults();
    PresetStore::seedIfNeeded();
    watchFolders();
    showStatusItem(trayAvailable);
    watchDrags();
    watchSettings();
    connect(&Settings::notifier(), &SettingsNotifier::problem, this, &App::reportProblem);
    if (const QString problem = Settings::problem(); !problem.isEmpty()) reportProblem(problem);
    // Once the event loop runs, when the tray icon is in place.
    if (arguments.value(0) == "--perform" || (arguments.value(0) == "--wheel" && arguments.size() > 1)) {
        QTimer::singleShot(0, this, [this, arguments] { handle(arguments); });
    } else if (!Settings::boolean(SettingsKey::didShowWelcome) || arguments.contains("--welcome") || arguments == QStringList{"--wheel"}) {
        Settings::setValue(SettingsKey::didShowWelcome, true);
        QTimer::singleShot(0, this, &App::showWelcome);
    }
}

App::~App() = default;

void App::handle(const QStringList& arguments)
{
    // A command line's clipboard, kept here once that process has ended.
    if (Clipboard::take(arguments)) return;
    if (arguments.value(0) == "--wheel" && arguments.size() > 1) {
        Paths files;
        for (const QString& file : arguments.mid(1)) files.push_back(file.toStdString());
        wheel_.showInteractive(files, WheelMode::convert);
        return;
    }
    if (arguments.value(0) != "--perform") {
        showWelcome();
        return;
    }
    const auto mode = WheelModes::fromWord(arguments.value(1).toStdString());
    if (!mode || arguments.size() < 4) {
        Toast::show(std::nullopt, {"Couldn't run that option", "usage: varnolt --perform <convert|tools|actions> <option> <files…>",
                                   ToastModel::State::failure, {}, std::nullopt});
        return;
    }
    Paths files;
    for (const QString& file : arguments.mid(3)) files.push_back(file.toStdString());
    const WheelOptions options = Catalog::options(files, *mode);
    const std::string title = arguments[2].toStdString();
    if (const auto option = Catalog::find(options, title)) {
        Runner::perform(*option, files);
    } else {
        Toast::show(std::nullopt, {"Couldn't run " + title, Catalog::noOption(title, options), ToastModel::State::failure, {}, std::nullopt});
    }
}

QStringList App::withAbsolutePaths(QStringList arguments)
{
    const qsizetype first = arguments.value(0) == "--perform" ? 3 : arguments.value(0) == "--wheel" ? 1 : arguments.size();
    for (qsizetype i = first; i < arguments.size(); ++i) {
        arguments[i] = QString::fromStdString(absoluteNormal(arguments[i].toStdString()).string());
    }
    return arguments;
}

QString App::toolTip()
{
    return QString::fromStdString("Varnolt — drag a file and tap " + TriggerKeys::glyph(Settings::key(WheelMode::convert)));
}

// Each watched file that is converted, or fails, says so in a toast of its own.
void App::watchFolders()
{
    const auto nameOf = [](const QString& path) { return Path(path.toStdString()).filename().string(); };
    connect(&folders_, &FolderWatcher::converted, this, [nameOf](const QString& source, const QString& preset, const QString& destination) {
        Toast::show(std::nullopt, {nameOf(source) + " → ★ " + preset.toStdString(), nameOf(destination), ToastModel::State::success,
                                   {destination.toStdString()}, std::nullopt});
    });
    connect(&folders_, &FolderWatcher::failed, this, [nameOf](const QString& source, const QString& message) {
        Toast::show(std::nullopt, {"Watch folder: couldn't convert " + nameOf(source), message.toStdString(), ToastModel::State::failure, {}, std::nullopt});
    });
    folders_.start();
}

// Drags, the hotkey and the file manager's selection need an X11 display of our own. Without
// one (Wayland without XWayland, a lost display) everything else works: the reason is said
// once and the wheel opens only from the menu and the command line.
void App::watchDrags()
{
    menu_.convertSelection = [this] { convertSelection(); };
    try {
        x11_ = std::make_unique<X11Connection>();
        hotkey_ = std::make_unique<GlobalHotkey>(*x11_);
        connect(hotkey_.get(), &GlobalHotkey::pressed, this, &App::convertSelection);
        applyHotkey();
        connect(&Settings::notifier(), &SettingsNotifier::changed, this, &App::applyHotkey);
        dragWatch_ = std::make_unique<DragWatch>(*x11_);
        monitor_ = std::make_unique<DragMonitor>(*dragWatch_, wheel_);
    } catch (const KError& e) {
        std::fprintf(stderr, "Varnolt: the wheel will not open on drags: %s\n", e.what());
    }
}

void App::applyHotkey()
{
    // An unrecognised choice counts as the default one.
    if (hotkey_) hotkey_->apply(Settings::hotkey().value_or(HotkeyChoice::ctrlOptSpace));
}

void App::convertSelection()
{
    if (!x11_) return menu_.chooseFile();
    FileSelection::read(*x11_, this, [this](const Paths& files) {
        if (files.empty()) menu_.chooseFile();
        else wheel_.showInteractive(files, WheelMode::convert);
    });
}

void App::showStatusItem(bool trayAvailable)
{
    tray_.setIcon(StatusIcon::icon());
    tray_.setToolTip(toolTip());
    tray_.setContextMenu(menu_.menu());
    menu_.showWelcome = [this] { showWelcome(); };
    menu_.showSettings = [this] { showSettings(); };
    // The convert trigger key may change while the application runs.
    connect(&Settings::notifier(), &SettingsNotifier::changed, this, [this] { tray_.setToolTip(toolTip()); });
    // Most panels open the context menu on a right click only; a left click opens it too.
    connect(&tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) menu_.menu()->popup(QCursor::pos());
    });
    // Shown also without a tray: the icon appears if a tray starts later.
    tray_.show();
    if (!trayAvailable) {
        Toast::show(std::nullopt, {"Varnolt is running", "No tray icon here: start Varnolt again to open it",
                                   ToastModel::State::success, {}, std::nullopt});
    }
}

// The command line and other programs write the settings file too (--undo, for one): reread
// it shortly after each change. Writers replace the file, so its folder is watched as well.
void App::watchSettings()
{
    const QString file = Settings::fileName();
    QDir().mkpath(QFileInfo(file).absolutePath());
    watcher_.addPath(QFileInfo(file).absolutePath());
    if (QFileInfo::exists(file)) watcher_.addPath(file);
    reread_.setSingleShot(true);
    reread_.setInterval(50);
    connect(&reread_, &QTimer::timeout, this, [this, file] {
        if (QFileInfo::exists(file) && !watcher_.files().contains(file)) watcher_.addPath(file);
        Settings::reload();
    });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, &reread_, qOverload<>(&QTimer::start));
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, &reread_, qOverload<>(&QTimer::start));
}

void App::reportProblem(const QString& message)
{
    if (reported_.contains(message)) return;
    reported_.insert(message);
    Toast::show(std::nullopt, {"Couldn't use the settings file", message.toStdString(), ToastModel::State::failure, {}, std::nullopt});
}

namespace {
// Brings a kept window forward; the first time, centred on the screen under the pointer.
void present(QWidget* window, bool first)
{
    if (first) {
        if (const QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) {
            window->move(screen->availableGeometry().center() - window->rect().center());
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
}
}

void App::showWelcome()
{
    emit welcomeRequested();
    const bool first = !welcome_;
    if (first) {
        welcome_ = std::make_unique<WelcomeWindow>();
        welcome_->showSettings = [this] { showSettings(); };
    }
    present(welcome_.get(), first);
}

void App::showSettings()
{
    const bool first = !settings_;
    if (first) settings_ = std::make_unique<SettingsWindow>();
    present(settings_.get(), first);
}

int App::run(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("Varnolt's tray application needs a display; without one use --run, --list or --undo.\n", stderr);
        return 1;
    }
    // Under Wayland, drags reach Varnolt only through XWayland, and so do drops on the wheel.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Varnolt");
    QApplication::setApplicationName("Varnolt");
    // The tray is the application: closing a dialog must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // The running instance may have another working folder: it receives absolute paths.
    const QStringList arguments = withAbsolutePaths(QApplication::arguments().mid(1));
    SingleInstance instance;
    try {
        if (instance.claim(arguments) == SingleInstance::Claim::handedOver) return 0;
    } catch (const KError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    int status = 0;
    {
        App app(arguments);
        // Opening Varnolt again while it runs shows the welcome window, or runs what it was asked.
        connect(&instance, &SingleInstance::activated, &app, &App::handle);
        status = QApplication::exec();
    }
    // Runs still in progress finish first, so that quitting never leaves a half-written output.
    OptionRun::waitForAll();
    return status;
}
