#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStandardPaths>

#include <memory>
#include <mutex>

namespace TriggerKeys {

const std::vector<TriggerKey>& allCases()
{
    static const std::vector<TriggerKey> cases = {TriggerKey::shift, TriggerKey::command, TriggerKey::control, TriggerKey::option};
    return cases;
}

std::string rawValue(TriggerKey key)
{
    switch (key) {
    case TriggerKey::shift: return "shift";
    case TriggerKey::command: return "command";
    case TriggerKey::control: return "control";
    case TriggerKey::option: return "option";
    }
    return {};
}

std::optional<TriggerKey> fromRawValue(const std::string& raw)
{
    for (TriggerKey key : allCases()) {
        if (rawValue(key) == raw) return key;
    }
    return std::nullopt;
}

std::string glyph(TriggerKey key)
{
    switch (key) {
    case TriggerKey::shift: return "⇧";
    case TriggerKey::command: return "⌘";
    case TriggerKey::control: return "⌃";
    case TriggerKey::option: return "⌥";
    }
    return {};
}

}

namespace OutputLocations {

const std::vector<OutputLocation>& allCases()
{
    static const std::vector<OutputLocation> cases = {OutputLocation::sameFolder, OutputLocation::downloads, OutputLocation::desktop};
    return cases;
}

std::string rawValue(OutputLocation location)
{
    switch (location) {
    case OutputLocation::sameFolder: return "sameFolder";
    case OutputLocation::downloads: return "downloads";
    case OutputLocation::desktop: return "desktop";
    }
    return {};
}

std::string title(OutputLocation location)
{
    switch (location) {
    case OutputLocation::sameFolder: return "Next to the original";
    case OutputLocation::downloads: return "Downloads folder";
    case OutputLocation::desktop: return "Desktop";
    }
    return {};
}

}

namespace {
// "~/.config/<name>/<name>.conf", read from the environment each time so that a changed
// XDG_CONFIG_HOME is honoured.
QString configFile(const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/" + name + "/" + name + ".conf";
}
}

namespace Settings {

namespace {
// QSettings is reentrant but not thread-safe: one instance, guarded by one lock.
struct Store {
    std::recursive_mutex lock;
    std::unique_ptr<QSettings> settings;
    QHash<QString, QVariant> defaults;
    QString problem;

    QSettings& get()
    {
        if (!settings) {
            settings = std::make_unique<QSettings>(configFile("Varnolt"), QSettings::IniFormat);
            check();
        }
        return *settings;
    }

    // Notes what went wrong with the file, once; answers the note when it is new.
    QString check()
    {
        if (!problem.isEmpty() || settings->status() == QSettings::NoError) return {};
        const QString file = settings->fileName();
        if (settings->status() == QSettings::FormatError) {
            // QSettings drops what it could not read at its next write: keep the file as it was.
            QString copy = file + ".damaged";
            for (int n = 2; QFile::exists(copy); ++n) copy = file + ".damaged " + QString::number(n);
            problem = QFile::copy(file, copy) ? "Damaged settings file kept as " + QFileInfo(copy).fileName()
                                              : "The settings file is damaged and couldn't be copied";
        } else {
            QString shown = file;
            if (shown.startsWith(QDir::homePath() + "/")) shown = "~" + shown.mid(QDir::homePath().size());
            problem = shown + " can't be written — changes last until Varnolt quits";
        }
        return problem;
    }

    // Writes through at once; answers a problem it newly found.
    QString sync()
    {
        get().sync();
        return check();
    }
};

void announce(const QString& key, const QString& problem)
{
    emit notifier().changed(key);
    if (!problem.isEmpty()) emit notifier().problem(problem);
}

Store& store()
{
    static Store s;
    return s;
}
}

void registerDefaults()
{
    Store& s = store();
    std::lock_guard guard(s.lock);
    s.defaults = {
        {"key.convert", "shift"},
        {"key.tools", "command"},
        {"key.actions", "control"},
        {"outputLocation", "sameFolder"},
        {"revealAfter", false},
        {"ffmpegPath", ""},
        {"hotkey", "ctrlOptSpace"},
    };
}

QVariant value(const QString& key)
{
    Store& s = store();
    std::lock_guard guard(s.lock);
    QSettings& settings = s.get();
    if (settings.contains(key)) return settings.value(key);
    return s.defaults.value(key);
}

bool contains(const QString& key)
{
    Store& s = store();
    std::lock_guard guard(s.lock);
    return s.get().contains(key);
}

void setValue(const QString& key, const QVariant& v)
{
    QString problem;
    {
        Store& s = store();
        std::lock_guard guard(s.lock);
        s.get().setValue(key, v);
        problem = s.sync();
    }
    announce(key, problem);
}

void remove(const QString& key)
{
    QString problem;
    {
        Store& s = store();
        std::lock_guard guard(s.lock);
        s.get().remove(key);
        problem = s.sync();
    }
    announce(key, problem);
}

void reload()
{
    QString problem;
    {
        Store& s = store();
        std::lock_guard guard(s.lock);
        problem = s.sync();
    }
    announce({}, problem);
}

QString problem()
{
    Store& s = store();
    std::lock_guard guard(s.lock);
    s.get();
    return s.problem;
}

QString string(const QString& key)
{
    return value(key).toString();
}

bool boolean(const QString& key)
{
    return value(key).toBool();
}

QStringList stringList(const QString& key)
{
    return value(key).toStringList();
}

TriggerKey key(WheelMode mode)
{
    const QString stored = string("key." + QString::fromStdString(WheelModes::word(mode)));
    if (auto key = TriggerKeys::fromRawValue(stored.toStdString())) return *key;
    return TriggerKeys::allCases()[static_cast<size_t>(mode)];
}

OutputLocation outputLocation()
{
    const QString stored = string("outputLocation");
    if (stored == "downloads") return OutputLocation::downloads;
    if (stored == "desktop") return OutputLocation::desktop;
    return OutputLocation::sameFolder;
}

SettingsNotifier& notifier()
{
    static SettingsNotifier n;
    return n;
}

QString fileName()
{
    Store& s = store();
    std::lock_guard guard(s.lock);
    return s.get().fileName();
}

void reset()
{
    Store& s = store();
    std::lock_guard guard(s.lock);
    s.settings.reset();
    s.defaults.clear();
    s.problem.clear();
}

}

namespace LegacySettings {

void migrate()
{
    if (Settings::boolean("migratedFromQuindle")) return;
    QSettings predecessor(configFile("Quindle"), QSettings::IniFormat);
    if (predecessor.status() == QSettings::NoError) {
        for (const QString& key : predecessor.allKeys()) {
            if (Settings::contains(key)) continue;
            const QVariant v = predecessor.value(key);
            if (v.isValid()) Settings::setValue(key, v);
        }
    }
    Settings::setValue("migratedFromQuindle", true);
}

}
