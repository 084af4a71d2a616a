#pragma once
#include "core/WheelMode.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <string>

enum class TriggerKey { shift, command, control, option };
enum class OutputLocation { sameFolder, downloads, desktop };

namespace TriggerKeys {
const std::vector<TriggerKey>& allCases();
std::string rawValue(TriggerKey key);
std::optional<TriggerKey> fromRawValue(const std::string& raw);
// "⇧", "⌘", "⌃", "⌥".
std::string glyph(TriggerKey key);
}

namespace OutputLocations {
const std::vector<OutputLocation>& allCases();
std::string rawValue(OutputLocation location);
std::string title(OutputLocation location);
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
