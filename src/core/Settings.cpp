#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStandardPaths>

#include <memory>
#include <mutex>

namespace SettingsKey {

QString trigger(WheelMode mode)
{
    return "key." + QString::fromStdString(WheelModes::word(mode));
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
// The key at the page's own position: convert shift, tools command, actions control.
TriggerKey defaultKey(WheelMode mode)
{
    return TriggerKeys::allCases()[static_cast<size_t>(mode)];
}

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
        {SettingsKey::outputLocation, QString::fromStdString(OutputLocations::rawValue(OutputLocation::sameFolder))},
        {SettingsKey::revealAfter, false},
        {SettingsKey::ffmpegPath, ""},
        {SettingsKey::hotkey, QString::fromStdString(HotkeyChoices::rawValue(HotkeyChoice::ctrlOptSpace))},
    };
    for (WheelMode mode : WheelModes::allCases()) s.defaults.insert(SettingsKey::trigger(mode), QString::fromStdString(TriggerKeys::rawValue(defaultKey(mode))));
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
    return TriggerKeys::fromRawValue(string(SettingsKey::trigger(mode)).toStdString()).value_or(defaultKey(mode));
}

OutputLocation outputLocation()
{
    return OutputLocations::fromRawValue(string(SettingsKey::outputLocation).toStdString()).value_or(OutputLocation::sameFolder);
}

std::optional<HotkeyChoice> hotkey()
{
    return HotkeyChoices::fromRawValue(string(SettingsKey::hotkey).toStdString());
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
    if (Settings::boolean(SettingsKey::migratedFromQuindle)) return;
    QSettings predecessor(configFile("Quindle"), QSettings::IniFormat);
    if (predecessor.status() == QSettings::NoError) {
        for (const QString& key : predecessor.allKeys()) {
            if (Settings::contains(key)) continue;
            const QVariant v = predecessor.value(key);
            if (v.isValid()) Settings::setValue(key, v);
        }
    }
    Settings::setValue(SettingsKey::migratedFromQuindle, true);
}

}
