#pragma once
#include "presets/Preset.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// The form that edits a copy of one preset; only the fields of its kind are shown. Return
// saves (while the name is not blank), Esc cancels.
class PresetEditor : public QDialog {
    Q_OBJECT
public:
    explicit PresetEditor(const Preset& preset, QWidget* parent = nullptr);
    // The edited copy, its name trimmed.
    Preset preset() const;

    // "Original", 800 … 3840 px; "Original", 360p … 2160p; 64 … 320 kbps.
    static const std::vector<std::int64_t>& maxDimensions();
    static const std::vector<std::int64_t>& maxHeights();
    static const std::vector<std::int64_t>& bitrates();

signals:
    void saved(const Preset& preset);

private:
    void kindChanged();
    void refresh();

    Preset preset_;
    QFormLayout* form_;
    QLineEdit* name_;
    QComboBox* kind_;
    QComboBox* format_;
    QSlider* quality_;
    QLabel* qualityValue_;
    QComboBox* maxDimension_;
    QCheckBox* strip_;
    QComboBox* maxHeight_;
    QButtonGroup* videoQuality_;
    QCheckBox* mute_;
    QComboBox* bitrate_;
    QCheckBox* mono_;
    QLabel* summary_;
    QPushButton* save_;
};
