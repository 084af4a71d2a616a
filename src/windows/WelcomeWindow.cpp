#include "windows/WelcomeWindow.h"

#include "core/Settings.h"
#include "windows/DraggableFileView.h"
#include "windows/FormParts.h"
#include "windows/RecentList.h"
#include "windows/SampleFile.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* sized(const QString& text, double scale, bool bold)
{
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(bold);
    label->setFont(font);
    return label;
}
}

WelcomeWindow::WelcomeWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle("Welcome to Varnolt");
    FormParts::followColorScheme(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 20);
    layout->setSpacing(10);
    QLabel* name = sized("Varnolt", 2.0, true);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    QLabel* tagline = FormParts::caption("The zero-click offline file converter");
    tagline->setAlignment(Qt::AlignCenter);
    layout->addWidget(tagline);

    auto* steps = new QGridLayout;
    steps->setHorizontalSpacing(12);
    keys_ = FormParts::caption({});
    const std::tuple<const char*, const char*, QLabel*> rows[] = {
        {"1", "Drag", FormParts::caption("Start dragging any file or folder.")},
        {"2", "Tap a key", keys_},
        {"3", "Drop", FormParts::caption("Drop on a slice. Drop in the middle to cancel.")},
    };
    int row = 0;
    for (const auto& [number, title, text] : rows) {
        QLabel* circle = sized(number, 1.2, true);
        circle->setFixedSize(28, 28);
        circle->setAlignment(Qt::AlignCenter);
        circle->setStyleSheet("border-radius: 14px; color: white; background: " + FormParts::orange.name());
        steps->addWidget(circle, row, 0, 2, 1, Qt::AlignTop);
        steps->addWidget(sized(title, 1.0, true), row, 1);
        steps->addWidget(text, row + 1, 1);
        row += 2;
    }
    layout->addLayout(steps);

    sample_ = new DraggableFileView;
    sample_->setUrl(SampleFile::url());
    tryIt_ = new QLabel;
    tryIt_->setAlignment(Qt::AlignCenter);
    if (sample_->url()) {
        layout->addWidget(sample_, 0, Qt::AlignHCenter);
        layout->addWidget(tryIt_);
    } else {
        // Without a picture there is nothing to try the wheel on.
        delete sample_;
        sample_ = nullptr;
        tryIt_->hide();
    }
    selection_ = FormParts::caption({});
    selection_->setAlignment(Qt::AlignCenter);
    layout->addWidget(selection_);
    QLabel* local = FormParts::caption("Everything runs locally on your computer. Nothing is uploaded.");
    local->setAlignment(Qt::AlignCenter);
    layout->addWidget(local);
    layout->addWidget(new RecentList);
    layout->addStretch();

    auto* buttons = new QHBoxLayout;
    auto* settings = new QPushButton("Settings…");
    connect(settings, &QPushButton::clicked, this, [this] {
        if (showSettings) showSettings();
    });
    auto* start = new QPushButton("Get Started");
    start->setDefault(true);
    connect(start, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(settings);
    buttons->addStretch();
    buttons->addWidget(start);
    layout->addLayout(buttons);
    resize(460, 640);
    refresh();
    connect(&Settings::notifier(), &SettingsNotifier::changed, this, [this](const QString& key) {
        if (key.isEmpty() || key.startsWith("key.") || key == SettingsKey::hotkey) refresh();
    });
}

QString WelcomeWindow::keysLine()
{
    const auto glyph = [](WheelMode mode) { return TriggerKeys::glyph(Settings::key(mode)); };
    return QString::fromStdString(glyph(WheelMode::convert) + " Convert · " + glyph(WheelMode::tools) + " Tools · " +
                                  glyph(WheelMode::actions) + " Actions");
}

QString WelcomeWindow::tryLine()
{
    // The label reads "⇧  Shift": the key's name follows the two spaces.
    const std::string label = TriggerKeys::label(Settings::key(WheelMode::convert));
    return QString::fromStdString("Try it: drag this file and tap " + label.substr(label.find("  ") + 2));
}

QString WelcomeWindow::selectionLine()
{
    return QString::fromStdString("Or select files in your file manager and press " +
                                  HotkeyChoices::label(Settings::hotkey().value_or(HotkeyChoice::ctrlOptSpace)) + ".");
}

void WelcomeWindow::refresh()
{
    keys_->setText(keysLine());
    tryIt_->setText(tryLine());
    selection_->setText(selectionLine());
}

void WelcomeWindow::showEvent(QShowEvent* event)
{
    // The sample may have been deleted since the window was made: it is drawn again.
    if (sample_ && !(sample_->url() && std::filesystem::exists(*sample_->url()))) sample_->setUrl(SampleFile::url());
    QWidget::showEvent(event);
}
