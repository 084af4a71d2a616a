#include "windows/CropWindowController.h"

#include "wheel/WheelPalette.h"
#include "windows/EditorWait.h"
#include "windows/FormParts.h"
#include "windows/CropView.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {
struct Ratio {
    const char* title;
    std::optional<double> aspect;
};
const std::array<Ratio, 7> ratios = {{
    {"Free", std::nullopt},
    {"Original", 0.0},
    {"1:1", 1.0},
    {"4:3", 4.0 / 3},
    {"3:2", 1.5},
    {"16:9", 16.0 / 9},
    {"9:16", 0.5625},
}};

QSize contentSize(QSize pixels)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize visible = screen ? screen->availableGeometry().size() : QSize(960, 600);
    const double s = std::min({std::min(0.8 * visible.width(), 1000.0) / pixels.width(), std::min(0.75 * visible.height(), 720.0) / pixels.height(), 1.0});
    return {std::max(520, int(pixels.width() * s + 48)), std::max(300, int(pixels.height() * s + 48)) + 56};
}
}

CropWindowController::CropWindowController(QImage preview, QSize pixels, const QString& title, Completion completion)
    : cropView_(new CropView(std::move(preview), pixels)), sizeLabel_(new QLabel), completion_(std::move(completion))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Crop — " + title);
    FormParts::followColorScheme(this);
    // The window's minimum width comes from the layout, so the ratio buttons are never cut.
    cropView_->setMinimumHeight(240);

    auto* ratioBox = new QWidget;
    auto* ratioRow = new QHBoxLayout(ratioBox);
    ratioRow->setContentsMargins(0, 0, 0, 0);
    ratioRow->setSpacing(0);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < int(ratios.size()); ++i) {
        // Tool buttons, because push buttons are at least 80 points wide and seven would crowd the bar.
        auto* segment = new QToolButton;
        segment->setText(ratios[i].title);
        segment->setCheckable(true);
        segment->setChecked(i == 0);
        segment->setFocusPolicy(Qt::NoFocus);
        segment->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        group->addButton(segment, i);
        ratioRow->addWidget(segment);
    }
    connect(group, &QButtonGroup::idClicked, this, &CropWindowController::ratioChanged);

    QFont digits = sizeLabel_->font();
    digits.setPointSizeF(9);
    digits.setStyleHint(QFont::Monospace);
    digits.setFamily("monospace");
    sizeLabel_->setFont(digits);
    sizeLabel_->setForegroundRole(QPalette::PlaceholderText);

    auto* cancelButton = new QPushButton("Cancel");
    cancelButton->setShortcut(Qt::Key_Escape);
    auto* cropButton = new QPushButton("Crop");
    cropButton->setDefault(true);
    cropButton->setShortcut(Qt::Key_Return);
    QPalette accent = cropButton->palette();
    accent.setColor(QPalette::Button, WheelPalettes::accent());
    accent.setColor(QPalette::ButtonText, Qt::white);
    cropButton->setPalette(accent);
    connect(cancelButton, &QPushButton::clicked, this, &CropWindowController::cancel);
    connect(cropButton, &QPushButton::clicked, this, &CropWindowController::confirm);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(12);
    bar->setContentsMargins(16, 12, 16, 12);
    bar->addWidget(ratioBox);
    bar->addWidget(sizeLabel_);
    bar->addStretch(1);
    bar->addWidget(cancelButton);
    bar->addWidget(cropButton);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(cropView_, 1);
    column->addLayout(bar);

    connect(cropView_, &CropView::changed, this, [this](const Editing::Rect& crop) {
        sizeLabel_->setText(QString::number(crop.width) + " × " + QString::number(crop.height) + " px");
    });
    // Laid out now, so the size below respects the bar's minimum width before the window is centred.
    layout()->activate();
    resize(contentSize(pixels));
}

void CropWindowController::show()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
    QWidget::show();
    raise();
    activateWindow();
}

void CropWindowController::ratioChanged(int segment)
{
    cropView_->setAspect(ratios.at(segment).aspect);
}

void CropWindowController::confirm()
{
    complete(cropView_->crop());
    close();
}

void CropWindowController::cancel()
{
    complete(std::nullopt);
    close();
}

void CropWindowController::complete(std::optional<Editing::Rect> crop)
{
    // Cleared before the call: the completion runs exactly once.
    if (!completion_) return;
    const Completion completion = std::move(completion_);
    completion_ = nullptr;
    completion(crop);
}

void CropWindowController::closeEvent(QCloseEvent* event)
{
    complete(std::nullopt);
    event->accept();
}

namespace CropEditor {

Editing::Rect run(QImage preview, QSize pixels, const QString& title)
{
    return EditorWait::choice<Editing::Rect>([preview, pixels, title](CropWindowController::Completion done) {
        (new CropWindowController(preview, pixels, title, std::move(done)))->show();
    });
}

}
