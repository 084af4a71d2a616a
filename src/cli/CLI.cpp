#include "cli/CLI.h"

#include "core/Desktop.h"
#include "core/Errors.h"
#include "core/FileKind.h"
#include "core/OptionRun.h"
#include "core/Recents.h"
#include "core/RunnerText.h"
#include "core/Settings.h"
#include "core/Shell.h"
#include "catalog/Catalog.h"
#include "cli/Render.h"
#include "platform/Clipboard.h"
#include "platform/SingleInstance.h"
#include "presets/PresetStore.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace CLI {

namespace {
const char* const usage = "usage: Varnolt --run <convert|tools|actions> <option> <files…>";

void print(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string join(const WheelOptions& options)
{
    std::string text;
    for (const WheelOption& option : options) {
        if (!text.empty()) text += ", ";
        text += option.title;
    }
    return text;
}

int listCommand(const std::vector<std::string>& args)
{
    const Paths files(args.begin() + 1, args.end());
    for (WheelMode mode : WheelModes::allCases()) {
        print(TriggerKeys::glyph(Settings::key(mode)) + " " + WheelModes::title(mode) + ": " + join(Catalog::options(files, mode)));
    }
    return 0;
}

int undoCommand()
{
    try {
        const int moved = UndoStore::undo();
        if (moved == 0) print("Nothing to undo");
        else print(RunnerText::moved(moved));
        return 0;
    } catch (...) {
        print("ERROR: " + Errors::userMessage(std::current_exception()));
        return 1;
    }
}

// Hands arguments to the running application; false when none runs (or it did not answer).
bool handToApplication(const QStringList& arguments)
{
    try {
        return SingleInstance().handOver(arguments);
    } catch (const KError&) {
        return false;
    }
}

// Starts another Varnolt, detached, with these arguments.
void launchVarnolt(const QStringList& arguments)
{
    std::vector<std::string> args;
    for (const QString& arg : arguments) args.push_back(arg.toStdString());
    Shell::launch(QCoreApplication::applicationFilePath().toStdString(), args);
}

// On X11 the clipboard empties when the program that set it ends: the running application
// takes the content over, else a small Varnolt process of its own keeps it until another
// program takes the clipboard.
void keepClipboard(const OptionResult& result)
{
    const QStringList handover = Clipboard::handover(result.clipboard, result.clipboardFiles);
    if (handToApplication(handover)) return;
    // Without a display the clipboard never leaves this process.
    if (QGuiApplication::platformName() == "offscreen") return;
    try {
        launchVarnolt(QStringList{"--hold-clipboard"} + handover);
    } catch (const KError&) {
        Clipboard::take(handover);
    }
}

int holdClipboard(const std::vector<std::string>& args)
{
    QStringList handover;
    for (size_t i = 1; i < args.size(); ++i) handover << QString::fromStdString(args[i]);
    if (!Clipboard::take(handover)) return 2;
    QEventLoop loop;
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, &loop, [&loop] {
        if (!Clipboard::owned()) loop.quit();
    });
    loop.exec();
    return 0;
}

// A shelf must outlive this command: the running application opens it, else a new one
// started for it (which hands over in turn if another starts first).
void floatInApplication(const Paths& files)
{
    QStringList perform = {"--perform", "actions", "Float"};
    for (const Path& file : files) perform << QString::fromStdString(file.string());
    if (handToApplication(perform)) return;
    if (QGuiApplication::platformName() == "offscreen") throw KError("This option opens a window, which needs a desktop session");
    launchVarnolt(perform);
}

// Runs the option's work on a worker thread while the main thread keeps its event loop,
// so that work which must touch the main thread (clipboard, windows) can reach it.
int runOption(const WheelOption& option, const Paths& files)
{
    RunOutcome outcome;
    QEventLoop loop;
    OptionRun::inBackground(option.run, files, {}, [&](const RunOutcome& finished) {
        outcome = finished;
        loop.quit();
    });
    loop.exec();
    // The run's thread still lets go of what the run held and ends: the process must not
    // end under it.
    OptionRun::waitForAll();
    if (outcome.failure) {
        print("ERROR: " + Errors::userMessage(outcome.failure));
        return 1;
    }
    const OptionResult& result = outcome.result;
    for (const Path& out : result.outputs) print(out.string());
    if (result.message) print(*result.message);
    if (result.clipboard && result.clipboard != result.message) print(*result.clipboard);
    if (result.clipboard || !result.clipboardFiles.empty()) keepClipboard(result);
    return 0;
}

int runCommand(const std::vector<std::string>& args)
{
    if (args.size() < 4) {
        print(usage);
        return 2;
    }
    const auto mode = WheelModes::fromWord(args[1]);
    if (!mode) {
        print(usage);
        return 2;
    }
    Paths files;
    for (size_t i = 3; i < args.size(); ++i) files.push_back(absoluteNormal(args[i]));
    Desktop::setFloat(floatInApplication);
    const WheelOptions options = Catalog::options(files, *mode);
    if (const auto option = Catalog::find(options, args[2])) return runOption(*option, files);
    print(Catalog::noOption(args[2], options));
    return 2;
}
}

bool isCommandWord(const std::string& word)
{
    return word == "--list" || word == "--run" || word == "--render-wheel" || word == "--undo" || word == "--hold-clipboard";
}

int run(const std::vector<std::string>& args)
{
    if (args.empty()) {
        print(usage);
        return 2;
    }
    if (args[0] == "--render-wheel" && args.size() >= 4) {
        if (const auto mode = WheelModes::fromWord(args[1])) {
            return renderWheel(*mode, args[2], std::vector<std::string>(args.begin() + 3, args.end()));
        }
    }
    if (args[0] == "--undo") return undoCommand();
    if (args[0] == "--hold-clipboard") return holdClipboard(args);
    if (args[0] == "--list") return listCommand(args);
    return runCommand(args);
}

bool handle(int argc, char** argv)
{
    if (argc < 2 || !isCommandWord(argv[1])) return false;
    const std::vector<std::string> args(argv + 1, argv + argc);
    Settings::registerDefaults();

    // Listing and undo need no windows and start fastest without a display connection;
    // running an option may touch the clipboard or open a window, and rendering draws
    // widgets, which work without a display on the offscreen platform.
    const bool needsGui = args[0] == "--run" || args[0] == "--render-wheel" || args[0] == "--hold-clipboard";
    if (needsGui && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::unique_ptr<QCoreApplication> app = needsGui ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setOrganizationName("Varnolt");
    QCoreApplication::setApplicationName("Varnolt");
    // Seeding asks libvips which formats it writes: a first run seeds only for files a preset
    // can apply to, so that other commands never load the image engine.
    if (std::any_of(args.begin() + 1, args.end(), [](const std::string& arg) {
            const FileKind kind = FileKinds::of(Path(arg));
            return kind == FileKind::image || kind == FileKind::video || kind == FileKind::audio;
        })) {
        PresetStore::seedIfNeeded();
    }
    int status = 0;
    QTimer::singleShot(0, [&] {
        status = run(args);
        QCoreApplication::exit(status);
    });
    QCoreApplication::exec();
    // Everything this command made is written and closed; tearing the application down
    // would only start the font machinery to stop it again.
    app.release();
    std::exit(status);
}

}
