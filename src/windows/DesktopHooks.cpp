#include "media/EditExports.h"

#include "windows/DesktopHooks.h"

#include "core/Desktop.h"
#include "core/Errors.h"
#include "windows/CropWindowController.h"
#include "windows/Shelf.h"
#include "windows/TrimWindowController.h"

#include <QApplication>
#include <QGuiApplication>
#include <QFileDialog>

namespace DesktopHooks {

namespace {
// The preview's longest side: sharp on a 2× screen, light even for a huge photo.
constexpr int previewSide = 2048;

// A command line without a display draws off screen, where no one could answer a window.
void requireWindows()
{
    if (QGuiApplication::platformName() == "offscreen") throw KError("This option opens a window, which needs a desktop session");
}

// Runs f on the main thread and waits for it (the caller is always a worker).
template <class F>
void onMain(F f)
{
    requireWindows();
    QMetaObject::invokeMethod(qApp, f, Qt::BlockingQueuedConnection);
}

std::optional<Path> chooseFolder(const std::string& message, const std::string& button)
{
    std::optional<Path> chosen;
    onMain([&] {
        QFileDialog dialog;
        dialog.setWindowTitle(QString::fromStdString(message));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setLabelText(QFileDialog::Accept, QString::fromStdString(button));
        dialog.activateWindow();
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) chosen = dialog.selectedFiles().front().toStdString();
    });
    return chosen;
}
}

void install()
{
    Editing::setAsk([](Editing::Editor editor, const Path& file) -> Editing::Choice {
        requireWindows();
        if (editor == Editing::Editor::trim) return {std::nullopt, TrimEditor::run(file)};
        const EditExports::Picture picture = EditExports::picture(file, previewSide);
        const QString title = QString::fromStdString(file.filename().string());
        return {CropEditor::run(picture.preview, QSize(picture.width, picture.height), title), std::nullopt};
    });
    Desktop::setChooseFolder(chooseFolder);
    Desktop::setFloat([](const Paths& files) { onMain([&] { Shelf::open(files); }); });
}

}
