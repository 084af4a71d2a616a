#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>
#include <QUrl>

namespace Clipboard {

void setText(const std::string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

void setFiles(const Paths& files)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    QStringList paths;
    QByteArray gnome = "copy";
    for (const Path& file : files) {
        const QString path = QString::fromStdString(absoluteNormal(file).string());
        urls << QUrl::fromLocalFile(path);
        paths << path;
        gnome += "\n" + QUrl::fromLocalFile(path).toEncoded();
    }
    data->setUrls(urls);
    data->setText(paths.join('\n'));
    data->setData("x-special/gnome-copied-files", gnome);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setMimeData(data);
}

bool owned()
{
    return QGuiApplication::clipboard()->ownsClipboard();
}

QStringList handover(const std::optional<std::string>& text, const Paths& files)
{
    if (files.empty()) return {"--clipboard-text", QString::fromStdString(text.value_or(""))};
    QStringList arguments = {"--clipboard-files"};
    for (const Path& file : files) arguments << QString::fromStdString(absoluteNormal(file).string());
    return arguments;
}

bool take(const QStringList& arguments)
{
    if (arguments.value(0) == "--clipboard-text" && arguments.size() == 2) {
        setText(arguments[1].toStdString());
        return true;
    }
    if (arguments.value(0) != "--clipboard-files" || arguments.size() < 2) return false;
    Paths files;
    for (const QString& file : arguments.mid(1)) files.push_back(file.toStdString());
    setFiles(files);
    return true;
}

}
