#include "windows/SettingsWindow.h"

#include "core/Errors.h"
#include "core/Settings.h"
#include "documents/Office.h"
#include "platform/Autostart.h"
#include "windows/FormParts.h"
#include "windows/HelperStatus.h"
#include "windows/PresetsSection.h"
#include "windows/WatchFoldersSection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QVBoxLayout>

#include <set>
#include <thread>

namespace {
const std::array<WheelMode, 3> modes = {WheelMode::convert, WheelMode::tools, WheelMode::actions};

// A symbol beside a line of text, as the status rows show them.
QWidget* symbolRow(QLabel* symbol, QLabel* text)
{
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(symbol, 0, Qt::AlignTop);
    text->setWordWrap(true);
    line->addWidget(text, 1);
    return row;
}

void selectData(QComboBox* combo, const QString& raw)
{
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(std::max(0, combo->findData(raw)));
}

// A picker of an enumeration's cases bound to a settings key: a choice the user makes is
// written at once as the case's raw value.
template <typename Case, typename Label, typename Raw>
QComboBox* picker(const std::vector<Case>& cases, Label label, Raw raw, const QString& key)
{
    auto* combo = new QComboBox;
    for (const Case c : cases) combo->addItem(QString::fromStdString(label(c)), QString::fromStdString(raw(c)));
    QObject::connect(combo, &QComboBox::activated, combo, [combo, key] { Settings::setValue(key, combo->currentData()); });
    return combo;
}
}

SettingsWindow::SettingsWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle("Varnolt Settings");
    FormParts::followColorScheme(this);
    auto* content = new QWidget;
    auto* sections = new QVBoxLayout(content);
    sections->addWidget(wheelKeys());
    sections->addWidget(keyboard());
    presets_ = new PresetsSection;
    sections->addWidget(presets_);
    watchFolders_ = new WatchFoldersSection;
    sections->addWidget(watchFolders_);
    sections->addWidget(output());
    sections->addWidget(helpers());
    sections->addWidget(general());
    sections->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    resize(580, 720);
    refresh();
    connect(&Settings::notifier(), &SettingsNotifier::changed, this, [this](const QString& key) {
        // While the user types a path, it is asked only when the typing is done.
        if ((key.isEmpty() || key == SettingsKey::ffmpegPath) && !ffmpegPath_->hasFocus()) probeFfmpeg();
        refresh();
    });
}

QWidget* SettingsWindow::wheelKeys()
{
    auto* box = new QGroupBox("Wheel keys");
    auto* form = new QFormLayout(box);
    const char* titles[] = {"Convert formats", "File tools", "File actions"};
    for (std::size_t i = 0; i < modes.size(); ++i) {
        keys_[i] = picker(TriggerKeys::allCases(), TriggerKeys::label, TriggerKeys::rawValue, SettingsKey::trigger(modes[i]));
        form->addRow(titles[i], keys_[i]);
    }
    keyWarning_ = symbolRow(FormParts::symbol("exclamationmark.triangle", FormParts::orange), new QLabel("Each wheel needs its own key."));
    keyWarning_->findChildren<QLabel*>().last()->setStyleSheet("color: " + FormParts::orange.name());
    form->addRow(keyWarning_);
    return box;
}

QWidget* SettingsWindow::keyboard()
{
    auto* box = new QGroupBox("Keyboard");
    auto* form = new QFormLayout(box);
    hotkey_ = picker(HotkeyChoices::allCases(), HotkeyChoices::label, HotkeyChoices::rawValue, SettingsKey::hotkey);
    form->addRow("Convert selected files", hotkey_);
    keyboardCaption_ = FormParts::caption({});
    form->addRow(keyboardCaption_);
    // No permission is needed on X11 for the keys to reach Varnolt during a drag.
    form->addRow(symbolRow(FormParts::symbol("checkmark.circle.fill", FormParts::green),
                           new QLabel("Arrow keys, Return and Esc work while dragging")));
    return box;
}

QWidget* SettingsWindow::output()
{
    auto* box = new QGroupBox("Output");
    auto* form = new QFormLayout(box);
    outputLocation_ = picker(OutputLocations::allCases(), OutputLocations::title, OutputLocations::rawValue, SettingsKey::outputLocation);
    form->addRow("Save results", outputLocation_);
    reveal_ = new QCheckBox("Reveal results in the file manager");
    connect(reveal_, &QCheckBox::toggled, this, [](bool on) { Settings::setValue(SettingsKey::revealAfter, on); });
    form->addRow(reveal_);
    return box;
}

QWidget* SettingsWindow::helpers()
{
    auto* box = new QGroupBox("Optional helpers");
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(new QLabel("ffmpeg (optional — unlocks WebM, MKV, MP3, Opus, …)"));
    auto* form = new QFormLayout;
    ffmpegPath_ = new QLineEdit;
    ffmpegPath_->setPlaceholderText("Auto-detect");
    connect(ffmpegPath_, &QLineEdit::textEdited, this, [](const QString& text) { Settings::setValue(SettingsKey::ffmpegPath, text); });
    // The program is asked who it is only once the path is complete, never at every keystroke.
    connect(ffmpegPath_, &QLineEdit::editingFinished, this, &SettingsWindow::probeFfmpeg);
    form->addRow("Custom path", ffmpegPath_);
    layout->addLayout(form);
    ffmpegSymbol_ = FormParts::symbol("info.circle");
    ffmpegStatus_ = FormParts::caption({});
    ffmpegStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(symbolRow(ffmpegSymbol_, ffmpegStatus_));

    const std::pair<const char*, const char*> rows[] = {
        {"WebP encoder", "WebP output — sudo apt install webp"},
        {"LibreOffice Writer", "Pages and Word documents"},
        {"LibreOffice Calc", "Numbers & XLS spreadsheets"},
        {"LibreOffice Impress", "PowerPoint & Keynote slides"},
    };
    for (std::size_t i = 0; i < helperStates_.size(); ++i) {
        auto* row = new QHBoxLayout;
        auto* texts = new QVBoxLayout;
        texts->setSpacing(0);
        texts->addWidget(new QLabel(rows[i].first));
        texts->addWidget(FormParts::caption(rows[i].second));
        row->addLayout(texts, 1);
        helperStates_[i] = FormParts::symbol("minus.circle", {}, 15);
        row->addWidget(helperStates_[i]);
        layout->addLayout(row);
    }
    return box;
}

QWidget* SettingsWindow::general()
{
    auto* box = new QGroupBox("General");
    auto* layout = new QVBoxLayout(box);
    login_ = new QCheckBox("Open at login");
    login_->setChecked(Autostart::enabled());
    connect(login_, &QCheckBox::toggled, this, &SettingsWindow::setLogin);
    layout->addWidget(login_);
    loginError_ = new QLabel;
    loginError_->setWordWrap(true);
    loginError_->setStyleSheet("color: " + FormParts::red.name());
    QFont small = loginError_->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    loginError_->setFont(small);
    loginError_->hide();
    layout->addWidget(loginError_);
    return box;
}

void SettingsWindow::setLogin(bool on)
{
    try {
        Autostart::setEnabled(on, QCoreApplication::applicationFilePath());
        loginError_->hide();
    } catch (const KError& e) {
        loginError_->setText(QString::fromStdString(e.message()));
        loginError_->show();
    }
    const QSignalBlocker blocker(login_);
    login_->setChecked(Autostart::enabled());
}

void SettingsWindow::refresh()
{
    std::set<TriggerKey> distinct;
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const TriggerKey key = Settings::key(modes[i]);
        distinct.insert(key);
        selectData(keys_[i], QString::fromStdString(TriggerKeys::rawValue(key)));
    }
    keyWarning_->setVisible(distinct.size() < modes.size());
    selectData(hotkey_, QString::fromStdString(HotkeyChoices::rawValue(Settings::hotkey().value_or(HotkeyChoice::ctrlOptSpace))));
    keyboardCaption_->setText(QString::fromStdString(
        "Select files in your file manager, press the shortcut, then pick with the mouse or ← → and Return. " +
        TriggerKeys::glyph(Settings::key(WheelMode::tools)) + "/" + TriggerKeys::glyph(Settings::key(WheelMode::actions)) +
        " switch wheels, Esc cancels."));
    selectData(outputLocation_, QString::fromStdString(OutputLocations::rawValue(Settings::outputLocation())));
    {
        const QSignalBlocker blocker(reveal_);
        reveal_->setChecked(Settings::boolean(SettingsKey::revealAfter));
    }
    // Rewriting the text while the user types in it would move the cursor.
    const QString path = Settings::string(SettingsKey::ffmpegPath);
    if (ffmpegPath_->text() != path) ffmpegPath_->setText(path);
    refreshFfmpeg();
}

void SettingsWindow::refreshFfmpeg()
{
    const Path custom = Settings::string(SettingsKey::ffmpegPath).toStdString();
    const auto known = probed_.find(custom);
    const HelperStatus::Line line = HelperStatus::ffmpeg(known == probed_.end() ? std::nullopt : std::optional(known->second));
    FormParts::setSymbol(ffmpegSymbol_, line.found ? "checkmark.circle.fill" : "info.circle", line.found ? FormParts::green : QColor());
    ffmpegStatus_->setText(QString::fromStdString(line.text));
}

void SettingsWindow::refreshHelpers()
{
    const bool available[] = {HelperStatus::webpEncoder(), Office::isInstalled(Office::App::pages),
                              Office::isInstalled(Office::App::numbers), Office::isInstalled(Office::App::keynote)};
    for (std::size_t i = 0; i < helperStates_.size(); ++i) {
        FormParts::setSymbol(helperStates_[i], available[i] ? "checkmark.circle.fill" : "minus.circle",
                             available[i] ? FormParts::green : QColor());
        helperStates_[i]->setToolTip(available[i] ? "Available" : "Not installed");
    }
}

void SettingsWindow::probeFfmpeg()
{
    const Path custom = Settings::string(SettingsKey::ffmpegPath).toStdString();
    if (custom.empty() || probed_.contains(custom) || HelperStatus::pathProblem(custom)) return;
    QPointer<SettingsWindow> self(this);
    // A program that never answers only keeps this thread.
    std::thread([self, custom] {
        const bool answers = HelperStatus::answersAsFfmpeg(custom);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [self, custom, answers] {
            if (!self) return;
            self->probed_[custom] = answers;
            self->refreshFfmpeg();
        });
    }).detach();
}

void SettingsWindow::showEvent(QShowEvent* event)
{
    // Programs may have been installed or removed while the window was closed.
    probed_.clear();
    refresh();
    refreshHelpers();
    probeFfmpeg();
    {
        const QSignalBlocker blocker(login_);
        login_->setChecked(Autostart::enabled());
    }
    QWidget::showEvent(event);
}
