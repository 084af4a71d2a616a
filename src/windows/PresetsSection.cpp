#include "windows/PresetsSection.h"

#include "core/Errors.h"
#include "core/Settings.h"
#include "presets/PresetStore.h"
#include "windows/FormParts.h"
#include "windows/PresetEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const char* kindSymbol(Preset::Kind kind)
{
    switch (kind) {
    case Preset::Kind::image: return "photo";
    case Preset::Kind::video: return "film";
    case Preset::Kind::audio: return "waveform";
    }
    return "photo";
}

QToolButton* rowButton(const std::string& symbol, const QString& text, const QString& help)
{
    auto* button = new QToolButton;
    button->setAutoRaise(true);
    button->setText(text);
    button->setIcon(FormParts::symbolIcon(symbol));
    button->setToolButtonStyle(button->icon().isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    button->setToolTip(help);
    button->setAccessibleName(text);
    return button;
}
}

PresetsSection::PresetsSection(QWidget* parent) : QGroupBox("Presets", parent)
{
    auto* layout = new QVBoxLayout(this);
    rows_ = new QVBoxLayout;
    layout->addLayout(rows_);
    add_ = new QPushButton(FormParts::symbolIcon("plus"), "Add Preset");
    connect(add_, &QPushButton::clicked, this, [this] { edit(Preset::added()); });
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(add_);
    addRow->addStretch();
    layout->addLayout(addRow);
    caption_ = FormParts::caption({});
    layout->addWidget(caption_);
    reload();
    connect(&Settings::notifier(), &SettingsNotifier::changed, this, [this](const QString& key) {
        if (key.isEmpty() || key == SettingsKey::presets || key.startsWith("key.")) reload();
    });
}

void PresetsSection::edit(const Preset& preset)
{
    if (editor_) editor_->close();
    editor_ = new PresetEditor(preset, window());
    editor_->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor_, &PresetEditor::saved, this, &PresetsSection::save);
    editor_->open();
}

void PresetsSection::save(const Preset& preset)
{
    std::vector<Preset> presets = PresetStore::all();
    const auto same = std::find_if(presets.begin(), presets.end(), [&](const Preset& p) { return p.id == preset.id; });
    if (same != presets.end()) *same = preset;
    else presets.push_back(preset);
    store(presets);
}

void PresetsSection::remove(const QUuid& id)
{
    std::vector<Preset> presets = PresetStore::all();
    std::erase_if(presets, [&](const Preset& p) { return p.id == id; });
    store(presets);
}

void PresetsSection::store(const std::vector<Preset>& presets)
{
    try {
        PresetStore::setAll(presets);
    } catch (const KError& e) {
        QMessageBox::warning(window(), "Couldn't save the presets", QString::fromStdString(e.message()));
    }
}

void PresetsSection::reload()
{
    FormParts::clearRows(rows_);
    const std::vector<Preset> presets = PresetStore::all();
    if (presets.empty()) rows_->addWidget(FormParts::caption("No presets yet."));
    for (const Preset& preset : presets) {
        auto* row = new QWidget;
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 2, 0, 2);
        QLabel* icon = FormParts::symbol(kindSymbol(preset.kind), {}, 15);
        icon->setFixedWidth(28);
        line->addWidget(icon);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(0);
        texts->addWidget(new QLabel(QString::fromStdString(preset.name)));
        texts->addWidget(FormParts::caption(QString::fromStdString(preset.summary())));
        line->addLayout(texts, 1);
        QToolButton* editButton = rowButton("pencil", "Edit", "Edit this preset");
        QToolButton* deleteButton = rowButton("trash", "Delete", "Delete this preset");
        connect(editButton, &QToolButton::clicked, this, [this, preset] { edit(preset); });
        connect(deleteButton, &QToolButton::clicked, this, [this, id = preset.id] { remove(id); });
        line->addWidget(editButton);
        line->addWidget(deleteButton);
        rows_->addWidget(row);
    }
    FormParts::focusBefore(rows_, add_);
    caption_->setText(QString::fromStdString("Presets appear first on the " + TriggerKeys::glyph(Settings::key(WheelMode::convert)) +
                                             " Convert wheel, marked with a star."));
}
