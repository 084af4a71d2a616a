#pragma once
#include <QColor>
#include <QIcon>
#include <QLabel>
#include <QString>

#include <string>

class QLayout;
class QWidget;

// Small pieces the settings and welcome windows share.
namespace FormParts {
inline const QColor orange{255, 149, 0};
inline const QColor green{52, 199, 89};
inline const QColor red{255, 59, 48};

// A symbol from the icon font, sized in points so that it stays sharp at any scale; an
// empty label when the font or the name is missing.
QLabel* symbol(const std::string& name, const QColor& color = {}, int points = 13);
void setSymbol(QLabel* label, const std::string& name, const QColor& color = {});
QIcon symbolIcon(const std::string& name);
// Text in the secondary style: smaller, in the palette's dimmed colour; wraps.
QLabel* caption(const QString& text);
// Takes out rows made of one widget each; they go later, as the click that changed the list
// may still be running in one of them.
void clearRows(QLayout* rows);
// Rows made again after the window was built would otherwise be last in the Tab order: their
// controls are put back just before next.
void focusBefore(QLayout* rows, QWidget* next);
// The window takes the desktop's light or dark palette now and whenever it changes.
void followColorScheme(QWidget* window);
}
