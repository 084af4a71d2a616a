#pragma once
#include "core/SettingChoices.h"
#include "core/WheelMode.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <string>

// Every key of the store; their registered defaults are in Settings::registerDefaults.
namespace SettingsKey {
inline constexpr const char* outputLocation = "outputLocation";  // an OutputLocation raw value
inline constexpr const char* revealAfter = "revealAfter";        // reveal outputs after a run
inline constexpr const char* ffmpegPath = "ffmpegPath";          // the user's ffmpeg, tried first
inline constexpr const char* hotkey = "hotkey";                  // a HotkeyChoice raw value
inline constexpr const char* presets = "presets";                // the preset list, JSON
inline constexpr const char* watchFolders = "watchFolders";      // the watch rules, JSON
inline constexpr const char* recentOutputs = "recentOutputs";    // newest first, at most ten
inline constexpr const char* lastOutputs = "lastOutputs";        // the batch undo moves to the Trash
inline constexpr const char* didShowWelcome = "didShowWelcome";
inline constexpr const char* migratedFromQuindle = "migratedFromQuindle";
// "key.convert", "key.tools", "key.actions": a TriggerKey raw value per page.
QString trigger(WheelMode mode);
}

// Emits `changed` after every write through Settings, on the thread that wrote.
class SettingsNotifier : public QObject {
    Q_OBJECT
signals:
    void changed(const QString& key);
    // The settings file turned out damaged or unwritable (see Settings::problem).
    void problem(const QString& message);
};

// The one per-user key-value store (~/.config/Varnolt/Varnolt.conf). Every read and write
// of a setting goes through here; it is safe to call from any thread.
namespace Settings {
// Registered defaults live in memory only and are never written to the file.
void registerDefaults();
QVariant value(const QString& key);
bool contains(const QString& key);  // a value stored by the user (registered defaults do not count)
void setValue(const QString& key, const QVariant& value);
void remove(const QString& key);

QString string(const QString& key);
bool boolean(const QString& key);
QStringList stringList(const QString& key);

TriggerKey key(WheelMode mode);
OutputLocation outputLocation();
// None when the stored value names no choice.
std::optional<HotkeyChoice> hotkey();

SettingsNotifier& notifier();
// Reads the file again after another process wrote it, and announces a change of every key
// (an empty key).
void reload();
// What is wrong with the settings file, or empty: a damaged file (a copy of it is kept before
// anything is written over it) or one that cannot be written (changes last until Varnolt quits).
QString problem();
// The file behind the store, for watching it and for tests.
QString fileName();
// Drops the open store so that the next call reopens it (tests change HOME between cases).
void reset();
}

// One-time, key-by-key copy of the predecessor's settings; never overwrites a value.
namespace LegacySettings {
void migrate();
}
