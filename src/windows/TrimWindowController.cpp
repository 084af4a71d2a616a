#include "windows/TrimWindowController.h"

#include "core/FileKind.h"
#include "windows/EditorWait.h"
#include "windows/FormParts.h"
#include "windows/Toast.h"
#include "windows/TrimBar.h"

#include <QAudioOutput>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMediaPlayer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

#include <cmath>

namespace {
// How long the player may take to open a file before it counts as unplayable.
constexpr int openingMs = 5000;

QString clock(double seconds)
{
    const int tenths = int(std::lround(seconds * 10));
    return QString("%1:%2.%3").arg(tenths / 600).arg(tenths / 10 % 60, 2, 10, QChar('0')).arg(tenths % 10);
}
}

TrimWindowController::TrimWindowController(const Path& file, Completion completion)
    : player_(new QMediaPlayer(this)), audio_(new QAudioOutput(this)), bar_(new TrimBar), times_(new QLabel), play_(new QPushButton("Play")),
      trim_(new QPushButton("Trim")), completion_(std::move(completion))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Trim — " + QString::fromStdString(file.filename().string()));
    FormParts::followColorScheme(this);
    const bool audioOnly = FileKinds::of(file) == FileKind::audio;

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    if (!audioOnly) {
        auto* video = new QVideoWidget;
        video->setAspectRatioMode(Qt::KeepAspectRatio);
        player_->setVideoOutput(video);
        column->addWidget(video, 1);
    }
    auto* barRow = new QHBoxLayout;
    barRow->setContentsMargins(16, 12, 16, 0);
    barRow->setSpacing(12);
    barRow->addWidget(play_);
    barRow->addWidget(bar_, 1);
    column->addLayout(barRow);

    auto* cancel = new QPushButton("Cancel");
    cancel->setShortcut(Qt::Key_Escape);
    trim_->setDefault(true);
    trim_->setShortcut(Qt::Key_Return);
    trim_->setEnabled(false);
    play_->setEnabled(false);
    times_->setForegroundRole(QPalette::PlaceholderText);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(16, 12, 16, 12);
    buttons->setSpacing(12);
    buttons->addWidget(times_);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(trim_);
    column->addLayout(buttons);
    if (audioOnly) column->addStretch(1);

    connect(cancel, &QPushButton::clicked, this, [this] {
        complete(std::nullopt);
        close();
    });
    connect(trim_, &QPushButton::clicked, this, [this] {
        complete(Editing::Range{bar_->in(), bar_->out()});
        close();
    });
    connect(play_, &QPushButton::clicked, this, [this] {
        if (player_->playbackState() == QMediaPlayer::PlayingState) return player_->pause();
        if (player_->position() / 1000.0 >= bar_->out() - 0.05 || player_->position() / 1000.0 < bar_->in()) player_->setPosition(qint64(bar_->in() * 1000));
        player_->play();
    });
    connect(player_, &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState state) { play_->setText(state == QMediaPlayer::PlayingState ? "Pause" : "Play"); });
    // Playing shows the kept part only: it stops at the out handle.
    connect(player_, &QMediaPlayer::positionChanged, this, [this](qint64 ms) {
        bar_->setPosition(ms / 1000.0);
        if (player_->playbackState() == QMediaPlayer::PlayingState && ms / 1000.0 >= bar_->out()) player_->pause();
    });
    connect(bar_, &TrimBar::seek, this, [this](double seconds) { player_->setPosition(qint64(seconds * 1000)); });
    connect(bar_, &TrimBar::rangeChanged, this, &TrimWindowController::showTimes);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::LoadedMedia && !trim_->isEnabled()) loaded();
        if (status == QMediaPlayer::InvalidMedia) unplayable();
    });
    connect(player_, &QMediaPlayer::durationChanged, this, [this](qint64 ms) {
        if (ms > 0 && !trim_->isEnabled() && player_->mediaStatus() != QMediaPlayer::LoadingMedia) loaded();
    });
    connect(player_, &QMediaPlayer::errorOccurred, this, [this] {
        if (!trim_->isEnabled()) unplayable();
    });
    QTimer::singleShot(openingMs, this, [this] {
        if (!trim_->isEnabled()) unplayable();
    });

    player_->setAudioOutput(audio_);
    player_->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
    resize(760, audioOnly ? 160 : 480);
}

void TrimWindowController::show()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
    QWidget::show();
    raise();
    activateWindow();
}

void TrimWindowController::loaded()
{
    // Some files tell their length only after they have loaded.
    const double duration = player_->duration() / 1000.0;
    if (duration <= 0) return;
    bar_->setDuration(duration);
    trim_->setEnabled(true);
    play_->setEnabled(true);
    // Paused rather than stopped, so the view shows the first frame instead of black.
    if (player_->playbackState() == QMediaPlayer::StoppedState) player_->pause();
}

void TrimWindowController::unplayable()
{
    if (!completion_) return;
    player_->stop();
    complete(std::nullopt);
    close();
    Toast::show(std::nullopt, {"Can't trim this file", "This format can't be played here — convert it first.", ToastModel::State::failure, {}, std::nullopt});
}

void TrimWindowController::showTimes()
{
    times_->setText(clock(bar_->in()) + " – " + clock(bar_->out()) + "   (" + clock(bar_->out() - bar_->in()) + ")");
}

void TrimWindowController::complete(std::optional<Editing::Range> range)
{
    if (!completion_) return;
    const Completion completion = std::move(completion_);
    completion_ = nullptr;
    player_->pause();
    completion(range);
}

void TrimWindowController::closeEvent(QCloseEvent* event)
{
    complete(std::nullopt);
    event->accept();
}

namespace TrimEditor {

Editing::Range run(const Path& file)
{
    return EditorWait::choice<Editing::Range>([file](TrimWindowController::Completion done) { (new TrimWindowController(file, std::move(done)))->show(); });
}

}
