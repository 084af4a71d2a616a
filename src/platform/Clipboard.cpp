#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

namespace Clipboard {

void setText(const std::string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

}
