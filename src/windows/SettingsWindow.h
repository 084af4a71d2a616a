#pragma once
#include "core/Paths.h"

#include <QWidget>

#include <array>
#include <map>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class PresetsSection;
class WatchFoldersSection;

// "Varnolt Settings": one form whose controls write their settings at once and follow the
// store, also when another process writes it. Kept for the life of the application, so
// that it reopens where it was.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettingsWindow(QWidget* parent = nullptr);

    PresetsSection* presets() const { return presets_; }
    WatchFoldersSection* watchFolders() const { return watchFolders_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* wheelKeys();
    QWidget* keyboard();
    QWidget* output();
    QWidget* helpers();
    QWidget* general();
    // Sets every control from the store.
    void refresh();
    void refreshHelpers();
    void refreshFfmpeg();
    // Asks the custom ffmpeg path who it is, off the main thread.
    void probeFfmpeg();
    void setLogin(bool on);

    std::array<QComboBox*, 3> keys_{};
    QWidget* keyWarning_ = nullptr;
    QComboBox* hotkey_ = nullptr;
    QLabel* keyboardCaption_ = nullptr;
    PresetsSection* presets_ = nullptr;
    WatchFoldersSection* watchFolders_ = nullptr;
    QComboBox* outputLocation_ = nullptr;
    QCheckBox* reveal_ = nullptr;
    QLineEdit* ffmpegPath_ = nullptr;
    QLabel* ffmpegSymbol_ = nullptr;
    QLabel* ffmpegStatus_ = nullptr;
    // The state symbols of WebP and the three LibreOffice programs.
    std::array<QLabel*, 4> helperStates_{};
    QCheckBox* login_ = nullptr;
    QLabel* loginError_ = nullptr;
    // What each custom path answered to -version; cleared whenever the window opens.
    std::map<Path, bool> probed_;
};
