#pragma once
#include "core/Paths.h"

#include <QMenu>
#include <QObject>

#include <functional>
#include <memory>

// The tray icon's menu. It keeps no state of its own: every opening rebuilds it from the
// settings, the undo batch and the recent outputs.
class StatusMenu : public QObject {
    Q_OBJECT
public:
    explicit StatusMenu(QObject* parent = nullptr);
    QMenu* menu() const { return menu_.get(); }
    void rebuild();

    // "Drag a file, then tap ⇧ Convert · ⌘ Tools · ⌃ Actions".
    static QString hint();
    // "Convert Selected Files    ⌃⌥Space", without the shortcut while the hotkey is off.
    static QString selectionTitle();

    // "Convert a File…": a dialog for files and folders, then a menu of their options.
    void chooseFile();
    // Moves the last batch to the Trash and says so in a toast.
    void undoLast();

    // Open the welcome and settings windows; "How It Works" and "Settings…" stay disabled
    // while these are not set.
    std::function<void()> showWelcome;
    std::function<void()> showSettings;
    // "Convert Selected Files": the file manager's selection; the file dialog while unset.
    std::function<void()> convertSelection;

private:
    void addRecents();
    void addRecentItem(QMenu* into, const Path& url);

    std::unique_ptr<QMenu> menu_;
};
