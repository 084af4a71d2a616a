#include "windows/WatchFoldersSection.h"

#include "core/Errors.h"
#include "core/Settings.h"
#include "presets/PresetStore.h"
#include "windows/FormParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
Path normal(const std::string& folder)
{
    Path path = absoluteNormal(folder);
    // "/a/b/" and "/a/b" are the same folder.
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) path = path.parent_path();
    return path;
}
}

WatchFoldersSection::WatchFoldersSection(QWidget* parent) : QGroupBox("Watch Folders", parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FormParts::caption("New files dropped into a watched folder are converted with its preset and saved in a “"
                                         "Converted” folder inside it. Files already there are left alone."));
    rows_ = new QVBoxLayout;
    layout->addLayout(rows_);
    add_ = new QPushButton(FormParts::symbolIcon("plus"), "Add Folder…");
    connect(add_, &QPushButton::clicked, this, &WatchFoldersSection::chooseFolder);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(add_);
    addRow->addStretch();
    layout->addLayout(addRow);
    hint_ = FormParts::caption("Create a preset first — each watch folder uses one.");
    layout->addWidget(hint_);
    reload(true);
    connect(&Settings::notifier(), &SettingsNotifier::changed, this, [this](const QString& key) {
        if (key.isEmpty() || key == SettingsKey::watchFolders || key == SettingsKey::presets) reload(false);
    });
}

void WatchFoldersSection::chooseFolder()
{
    auto* dialog = new QFileDialog(window(), "Choose a folder to convert new files in automatically");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setLabelText(QFileDialog::Accept, "Watch");
    connect(dialog, &QFileDialog::fileSelected, this, &WatchFoldersSection::addFolder);
    dialog->open();
}

void WatchFoldersSection::addFolder(const QString& folder)
{
    const std::vector<Preset> presets = PresetStore::all();
    if (presets.empty() || folder.isEmpty()) return;
    const Path path = normal(folder.toStdString());
    change([&](std::vector<WatchRule>& rules) {
        if (std::any_of(rules.begin(), rules.end(), [&](const WatchRule& rule) { return normal(rule.path) == path; })) return;
        rules.push_back({QUuid::createUuid(), path.string(), presets.front().id, true});
    });
}

// The folder watcher follows the stored rules itself: a new folder's present files are
// taken as known and left alone.
void WatchFoldersSection::change(const std::function<void(std::vector<WatchRule>&)>& edit)
{
    std::vector<WatchRule> rules = WatchStore::all();
    const std::vector<WatchRule> before = rules;
    edit(rules);
    if (rules == before) return;
    try {
        WatchStore::setAll(rules);
    } catch (const KError& e) {
        QMessageBox::warning(window(), "Couldn't save the watch folders", QString::fromStdString(e.message()));
    }
}

void WatchFoldersSection::showEvent(QShowEvent* event)
{
    // A folder may have gone missing, or come back, while the window was closed.
    reload(true);
    QGroupBox::showEvent(event);
}

void WatchFoldersSection::reload(bool force)
{
    const std::vector<Preset> presets = PresetStore::all();
    const std::vector<WatchRule> rules = WatchStore::all();
    // Rows rebuilt for a change of their own would lose the keyboard focus.
    if (!force && presets == shownPresets_ && rules == shownRules_) return;
    shownPresets_ = presets;
    shownRules_ = rules;
    FormParts::clearRows(rows_);
    for (const WatchRule& rule : rules) {
        auto* row = new QWidget;
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 2, 0, 2);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(0);
        const Path path(rule.path);
        auto* name = new QLabel(QString::fromStdString(path.filename().empty() ? path.string() : path.filename().string()));
        texts->addWidget(name);
        std::error_code ec;
        const bool missing = !std::filesystem::is_directory(path, ec);
        QLabel* where = FormParts::caption(QString::fromStdString(rule.path) + (missing ? " — folder missing" : ""));
        if (missing) where->setStyleSheet("color: " + FormParts::orange.name());
        texts->addWidget(where);
        line->addLayout(texts, 1);

        auto* preset = new QComboBox;
        for (const Preset& p : presets) preset->addItem(QString::fromStdString(p.name), p.id);
        int index = preset->findData(rule.presetID);
        if (index < 0) {
            // The preset was deleted: the rule stays, and the watcher skips it.
            preset->addItem("Deleted preset", rule.presetID);
            index = preset->count() - 1;
        }
        preset->setCurrentIndex(index);
        connect(preset, &QComboBox::currentIndexChanged, this, [this, preset, id = rule.id] {
            const QUuid chosen = preset->currentData().toUuid();
            change([&](std::vector<WatchRule>& rules) {
                for (WatchRule& r : rules) {
                    if (r.id == id) r.presetID = chosen;
                }
            });
        });
        line->addWidget(preset);

        auto* enabled = new QCheckBox("On");
        enabled->setChecked(rule.enabled);
        enabled->setToolTip("Convert new files in this folder");
        connect(enabled, &QCheckBox::toggled, this, [this, id = rule.id](bool on) {
            change([&](std::vector<WatchRule>& rules) {
                for (WatchRule& r : rules) {
                    if (r.id == id) r.enabled = on;
                }
            });
        });
        line->addWidget(enabled);

        auto* stop = new QPushButton("Stop watching");
        connect(stop, &QPushButton::clicked, this, [this, id = rule.id] {
            change([&](std::vector<WatchRule>& rules) { std::erase_if(rules, [&](const WatchRule& r) { return r.id == id; }); });
        });
        line->addWidget(stop);
        rows_->addWidget(row);
    }
    FormParts::focusBefore(rows_, add_);
    add_->setEnabled(!presets.empty());
    hint_->setVisible(presets.empty());
}
