#include "platform/FileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

#include <set>

namespace FileManager {

namespace {
void openFolders(const Paths& urls)
{
    std::set<Path> folders;
    for (const Path& url : urls) folders.insert(url.parent_path());
    for (const Path& folder : folders) QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder.string())));
}
}

void reveal(const Paths& urls)
{
    if (urls.empty()) return;
    QStringList uris;
    for (const Path& url : urls) uris << QUrl::fromLocalFile(QString::fromStdString(url.string())).toString();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolders(urls);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                                      "org.freedesktop.FileManager1", "ShowItems");
    call << uris << QString();
    // Asynchronous: a file manager started by D-Bus activation may take a moment to answer.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [watcher, urls] {
        if (watcher->isError()) openFolders(urls);
        watcher->deleteLater();
    });
}

}
