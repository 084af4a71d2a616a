#pragma once
#include "core/Editing.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

class CropView;
class QLabel;

// The crop editor's window: the picture with its crop, and below it the ratio choice, the
// crop's size, "Cancel" (Esc) and "Crop" (Return). Deletes itself when closed.
class CropWindowController : public QWidget {
    Q_OBJECT
public:
    using Completion = std::function<void(std::optional<Editing::Rect>)>;
    // Called once: with the crop on "Crop", with none on "Cancel" or when the window closes.
    CropWindowController(QImage preview, QSize pixels, const QString& title, Completion completion);
    void show();

    // Ratio segments in order: "Free" (none), "Original" (0), "1:1", "4:3", "3:2", "16:9", "9:16".
    void ratioChanged(int segment);
    void confirm();
    void cancel();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void complete(std::optional<Editing::Rect> crop);

    CropView* cropView_;
    QLabel* sizeLabel_;
    Completion completion_;
};

namespace CropEditor {
// Opens the editor on a worker's behalf and blocks that worker until the user chooses; the
// crop in the picture's pixels, origin at the top left. Throws UserCancelled. Never call it on
// the main thread.
Editing::Rect run(QImage preview, QSize pixels, const QString& title);
}
