#include "core/Recents.h"

#include "core/Errors.h"
#include "core/Settings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {
QStringList toStrings(const Paths& urls)
{
    QStringList list;
    for (const Path& url : urls) list << QString::fromStdString(absoluteNormal(url).string());
    return list;
}

Paths existing(const QStringList& stored)
{
    Paths urls;
    for (const QString& s : stored) {
        const Path p = s.toStdString();
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(p, ec))) urls.push_back(p);
    }
    return urls;
}
}

namespace Recents {

void add(const Paths& urls)
{
    const QStringList fresh = toStrings(urls);
    QStringList stored = Settings::stringList(SettingsKey::recentOutputs);
    stored.removeIf([&](const QString& s) { return fresh.contains(s); });
    QStringList list = fresh + stored;
    Settings::setValue(SettingsKey::recentOutputs, list.mid(0, 10));
}

void remove(const Paths& urls)
{
    const QStringList gone = toStrings(urls);
    QStringList stored = Settings::stringList(SettingsKey::recentOutputs);
    stored.removeIf([&](const QString& s) { return gone.contains(s); });
    Settings::setValue(SettingsKey::recentOutputs, stored);
}

void clear()
{
    Settings::remove(SettingsKey::recentOutputs);
}

Paths urls()
{
    return existing(Settings::stringList(SettingsKey::recentOutputs));
}

}

namespace UndoStore {

void record(const Paths& urls)
{
    Settings::setValue(SettingsKey::lastOutputs, toStrings(urls));
}

Paths last()
{
    return existing(Settings::stringList(SettingsKey::lastOutputs));
}

int undo(const std::optional<Paths>& urls)
{
    const Paths batch = urls ? existing(toStrings(*urls)) : last();
    // The Trash lives in the data folder, which a fresh account may not have yet.
    if (!batch.empty()) QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    Paths moved;
    for (const Path& item : batch) {
        QFile file(QString::fromStdString(item.string()));
        if (!file.moveToTrash()) throw KError("Couldn't move " + item.filename().string() + " to the Trash: " + file.errorString().toStdString());
        moved.push_back(item);
    }
    if (moved.empty()) return 0;
    Recents::remove(moved);
    const QStringList movedPaths = toStrings(moved);
    QStringList remaining = Settings::stringList(SettingsKey::lastOutputs);
    remaining.removeIf([&](const QString& s) { return movedPaths.contains(s); });
    Settings::setValue(SettingsKey::lastOutputs, remaining);
    return static_cast<int>(moved.size());
}

}
