#pragma once
#include "presets/Preset.h"
#include "presets/WatchRule.h"

#include <QGroupBox>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QVBoxLayout;

// The "Watch Folders" section of the settings window: one row per rule with its preset, an
// on/off switch and "Stop watching"; "Add Folder…" while there is a preset to use. A folder
// that no longer exists keeps its rule and is marked missing. Follows changes made elsewhere.
class WatchFoldersSection : public QGroupBox {
    Q_OBJECT
public:
    explicit WatchFoldersSection(QWidget* parent = nullptr);
    // Watches folder with the first preset, unless it is watched already or there is no preset.
    void addFolder(const QString& folder);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void chooseFolder();
    void change(const std::function<void(std::vector<WatchRule>&)>& edit);
    void reload(bool force);

    QVBoxLayout* rows_;
    QPushButton* add_;
    QLabel* hint_;
    std::vector<Preset> shownPresets_;
    std::vector<WatchRule> shownRules_;
};
