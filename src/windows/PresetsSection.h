#pragma once
#include "presets/Preset.h"
#include "windows/PresetEditor.h"

#include <QGroupBox>
#include <QPointer>

class QLabel;
class QPushButton;
class QVBoxLayout;

// The "Presets" section of the settings window: the stored presets in order, each with Edit
// and Delete, and "Add Preset". Every change writes the whole list back; the section follows
// changes made elsewhere.
class PresetsSection : public QGroupBox {
    Q_OBJECT
public:
    explicit PresetsSection(QWidget* parent = nullptr);
    // The editor while one is open.
    PresetEditor* editor() const { return editor_; }
    void edit(const Preset& preset);
    // Replaces the preset with the same id where it stands, or appends it.
    void save(const Preset& preset);
    void remove(const QUuid& id);

private:
    void store(const std::vector<Preset>& presets);
    void reload();

    QVBoxLayout* rows_;
    QPushButton* add_;
    QLabel* caption_;
    QPointer<PresetEditor> editor_;
};
