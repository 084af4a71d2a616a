#include "windows/PresetEditor.h"

#include "windows/FormParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
QString capitalised(const std::string& word)
{
    QString text = QString::fromStdString(word);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

QComboBox* picker(const std::vector<std::int64_t>& values, const QString& unit, bool zeroIsOriginal)
{
    auto* combo = new QComboBox;
    for (const std::int64_t value : values) {
        combo->addItem(zeroIsOriginal && value == 0 ? QString("Original") : QString::number(value) + unit, qint64(value));
    }
    return combo;
}

// Values that the list does not hold (written by hand into the settings) are kept and shown.
void select(QComboBox* combo, std::int64_t value, const QString& unit)
{
    int index = combo->findData(qint64(value));
    if (index < 0) {
        combo->addItem(QString::number(value) + unit, qint64(value));
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}
}

const std::vector<std::int64_t>& PresetEditor::maxDimensions()
{
    static const std::vector<std::int64_t> values = {0, 800, 1080, 1280, 1600, 1920, 2048, 3840};
    return values;
}

const std::vector<std::int64_t>& PresetEditor::maxHeights()
{
    static const std::vector<std::int64_t> values = {0, 360, 480, 720, 1080, 1440, 2160};
    return values;
}

const std::vector<std::int64_t>& PresetEditor::bitrates()
{
    static const std::vector<std::int64_t> values = {64, 96, 128, 160, 192, 256, 320};
    return values;
}

PresetEditor::PresetEditor(const Preset& preset, QWidget* parent) : QDialog(parent), preset_(preset)
{
    setWindowTitle(preset.name.empty() ? "New Preset" : QString::fromStdString(preset.name));
    setMinimumWidth(420);
    FormParts::followColorScheme(this);

    name_ = new QLineEdit(QString::fromStdString(preset.name));
    kind_ = new QComboBox;
    for (const Preset::Kind kind : PresetKinds::allCases()) kind_->addItem(capitalised(PresetKinds::rawValue(kind)));
    kind_->setCurrentIndex(static_cast<int>(preset.kind));
    format_ = new QComboBox;

    quality_ = new QSlider(Qt::Horizontal);
    // Steps of 0.05 from 0.3 to 1.0.
    quality_->setRange(6, 20);
    quality_->setPageStep(1);
    quality_->setValue(static_cast<int>(std::lround(std::clamp(preset.quality, 0.3, 1.0) * 20)));
    qualityValue_ = new QLabel;
    qualityValue_->setMinimumWidth(QFontMetrics(qualityValue_->font()).horizontalAdvance("100%"));
    auto* qualityRow = new QHBoxLayout;
    qualityRow->addWidget(quality_);
    qualityRow->addWidget(qualityValue_);
    maxDimension_ = picker(maxDimensions(), " px", true);
    select(maxDimension_, std::max<std::int64_t>(preset.maxDimension, 0), " px");
    strip_ = new QCheckBox("Remove metadata (location, camera…)");
    strip_->setChecked(preset.stripMetadata);

    maxHeight_ = picker(maxHeights(), "p", true);
    select(maxHeight_, std::max<std::int64_t>(preset.maxHeight, 0), "p");
    auto* videoQualityRow = new QHBoxLayout;
    videoQuality_ = new QButtonGroup(this);
    for (const Preset::VideoQuality quality : VideoQualities::allCases()) {
        auto* button = new QRadioButton(QString::fromStdString(VideoQualities::word(quality)));
        videoQuality_->addButton(button, static_cast<int>(quality));
        videoQualityRow->addWidget(button);
    }
    videoQualityRow->addStretch();
    videoQuality_->button(static_cast<int>(preset.videoQuality))->setChecked(true);
    mute_ = new QCheckBox("Remove audio");
    mute_->setChecked(preset.mute);

    bitrate_ = picker(bitrates(), " kbps", false);
    select(bitrate_, preset.bitrate, " kbps");
    mono_ = new QCheckBox("Mono");
    mono_->setChecked(preset.mono);

    form_ = new QFormLayout;
    form_->addRow("Name", name_);
    form_->addRow("Type", kind_);
    form_->addRow("Format", format_);
    form_->addRow("Quality", qualityRow);
    form_->addRow("Max size", maxDimension_);
    form_->addRow(strip_);
    form_->addRow("Max height", maxHeight_);
    form_->addRow("Quality", videoQualityRow);
    form_->addRow(mute_);
    form_->addRow("Bitrate", bitrate_);
    form_->addRow(mono_);

    summary_ = FormParts::caption({});
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    save_ = buttons->addButton("Save", QDialogButtonBox::AcceptRole);
    auto* footer = new QHBoxLayout;
    footer->addWidget(summary_, 1);
    footer->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    layout->addLayout(footer);
    // Return saves: the default button is known to the dialog only once it is inside it.
    save_->setDefault(true);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!save_->isEnabled()) return;
        emit saved(this->preset());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(kind_, &QComboBox::currentIndexChanged, this, &PresetEditor::kindChanged);
    connect(format_, &QComboBox::currentIndexChanged, this, [this] {
        preset_.format = format_->currentText().toLower().toStdString();
        refresh();
    });
    connect(name_, &QLineEdit::textChanged, this, [this](const QString& text) {
        preset_.name = text.toStdString();
        refresh();
    });
    connect(quality_, &QSlider::valueChanged, this, [this](int steps) {
        preset_.quality = steps / 20.0;
        refresh();
    });
    const auto pick = [this](QComboBox* combo, std::int64_t Preset::*field) {
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo, field] {
            preset_.*field = combo->currentData().toLongLong();
            refresh();
        });
    };
    const auto toggle = [this](QCheckBox* box, bool Preset::*field) {
        connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
            preset_.*field = on;
            refresh();
        });
    };
    pick(maxDimension_, &Preset::maxDimension);
    pick(maxHeight_, &Preset::maxHeight);
    pick(bitrate_, &Preset::bitrate);
    toggle(strip_, &Preset::stripMetadata);
    toggle(mute_, &Preset::mute);
    toggle(mono_, &Preset::mono);
    connect(videoQuality_, &QButtonGroup::idClicked, this, [this](int id) {
        preset_.videoQuality = static_cast<Preset::VideoQuality>(id);
        refresh();
    });
    kindChanged();
}

Preset PresetEditor::preset() const
{
    Preset trimmed = preset_;
    trimmed.name = QString::fromStdString(preset_.name).trimmed().toStdString();
    return trimmed;
}

// The format list follows the kind; a format the new kind cannot take becomes its first one.
void PresetEditor::kindChanged()
{
    preset_.kind = PresetKinds::allCases().at(kind_->currentIndex());
    const std::vector<std::string> formats = Preset::formats(preset_.kind);
    if (std::find(formats.begin(), formats.end(), preset_.format) == formats.end()) {
        preset_.format = formats.empty() ? std::string() : formats.front();
    }
    const QSignalBlocker blocker(format_);
    format_->clear();
    for (const std::string& format : formats) format_->addItem(QString::fromStdString(format));
    format_->setCurrentText(QString::fromStdString(preset_.format));
    refresh();
}

void PresetEditor::refresh()
{
    const bool image = preset_.kind == Preset::Kind::image;
    const bool video = preset_.kind == Preset::Kind::video;
    const bool audio = preset_.kind == Preset::Kind::audio;
    form_->setRowVisible(3, image && preset_.format != "png");
    form_->setRowVisible(4, image);
    form_->setRowVisible(5, image);
    form_->setRowVisible(6, video);
    form_->setRowVisible(7, video && preset_.format != "gif");
    form_->setRowVisible(8, video);
    form_->setRowVisible(9, audio && preset_.format != "flac" && preset_.format != "wav");
    form_->setRowVisible(10, audio);
    qualityValue_->setText(QString::number(std::lround(preset_.quality * 100)) + "%");
    summary_->setText(QString::fromStdString(preset_.summary()));
    save_->setEnabled(!QString::fromStdString(preset_.name).trimmed().isEmpty());
    adjustSize();
}
