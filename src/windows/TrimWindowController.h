#pragma once
#include "core/Editing.h"
#include "core/Paths.h"

#include <QWidget>

#include <functional>
#include <optional>

class QAudioOutput;
class QLabel;
class QMediaPlayer;
class QPushButton;
class TrimBar;

// The trim editor's window: the file playing (the picture for a video), a time line with in
// and out handles, the kept part's times, "Cancel" (Esc) and "Trim" (Return). The player only
// opens the file, so a long video is ready at once. Deletes itself when closed.
class TrimWindowController : public QWidget {
    Q_OBJECT
public:
    using Completion = std::function<void(std::optional<Editing::Range>)>;
    // Called once: the range on "Trim", none on "Cancel", on closing, or when the file cannot
    // be played (then with the toast "Can't trim this file").
    TrimWindowController(const Path& file, Completion completion);
    void show();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void loaded();
    void unplayable();
    void complete(std::optional<Editing::Range> range);
    void showTimes();

    QMediaPlayer* player_;
    QAudioOutput* audio_;
    TrimBar* bar_;
    QLabel* times_;
    QPushButton* play_;
    QPushButton* trim_;
    Completion completion_;
};

namespace TrimEditor {
// Opens the editor on a worker's behalf and blocks that worker until the user chooses: the
// part to keep, in seconds. Throws UserCancelled. Never call it on the main thread.
Editing::Range run(const Path& file);
}
