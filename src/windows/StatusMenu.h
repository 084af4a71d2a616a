#pragma once
#include "core/Paths.h"
#include "windows/Notice.h"

#include <QMenu>
#include <QObject>

#include <memory>

// The tray icon's menu. It keeps no state of its own: every opening rebuilds it from the
// settings, the undo batch and the recent outputs.
class StatusMenu : public QObject {
    Q_OBJECT
public:
    // notify shows the outcome of runs and undos.
    explicit StatusMenu(Notify notify, QObject* parent = nullptr);
    QMenu* menu() const { return menu_.get(); }
    void rebuild();

    // "Drag a file, then tap ⇧ Convert · ⌘ Tools · ⌃ Actions".
    static QString hint();

private:
    void addRecents();
    void addRecentItem(QMenu* into, const Path& url);
    void chooseFile();
    void undoLast();

    Notify notify_;
    std::unique_ptr<QMenu> menu_;
};
