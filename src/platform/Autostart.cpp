#include "platform/Autostart.h"

#include "core/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace Autostart {

namespace {
// Exec values are quoted the way desktop entries require when a path has characters
// the launcher would otherwise split or expand.
QString execValue(const QString& program)
{
    static const QString reserved = " \t\n\"'\\><~|&;$*?#()`";
    if (std::none_of(program.begin(), program.end(), [](QChar c) { return reserved.contains(c); })) return program;
    QString quoted = program;
    for (const QString special : {"\\", "\"", "`", "$"}) quoted.replace(special, "\\" + special);
    // The file format escapes backslashes once more.
    quoted.replace("\\", "\\\\");
    return "\"" + quoted + "\"";
}

std::string reasonFor(const QFileDevice& file)
{
    return file.errorString().toStdString();
}
}

QString entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/varnolt.desktop";
}

bool enabled()
{
    const QString path = entryPath();
    if (!QFileInfo::exists(path)) return false;
    QSettings entry(path, QSettings::IniFormat);
    return !entry.value("Desktop Entry/Hidden").toBool();
}

void setEnabled(bool on, const QString& program)
{
    const QString path = entryPath();
    if (!on) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            throw KError("Couldn't stop Varnolt from opening at login: " + reasonFor(file) + ".");
        }
        return;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) throw KError("Couldn't create the autostart folder " + folder.toStdString() + ".");
    QSaveFile file(path);
    const QByteArray entry = "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Varnolt\n"
                             "Comment=The zero-click offline file converter\n"
                             "Exec=" + execValue(program).toUtf8() + "\n"
                             "Terminal=false\n"
                             "X-GNOME-Autostart-enabled=true\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(entry) != entry.size() || !file.commit()) {
        throw KError("Couldn't make Varnolt open at login: " + reasonFor(file) + ".");
    }
}

}
