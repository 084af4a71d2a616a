#pragma once
#include <QAction>
#include <QMenu>

// Reading Qt menus back in the window tests.
namespace MenuTexts {

// The menu as its texts, "-" for a separator.
inline QStringList texts(const QMenu* menu)
{
    QStringList list;
    for (const QAction* action : menu->actions()) list << (action->isSeparator() ? "-" : action->text());
    return list;
}

inline QAction* item(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

}
