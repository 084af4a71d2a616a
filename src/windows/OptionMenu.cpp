#include "windows/OptionMenu.h"

#include "catalog/Catalog.h"
#include "wheel/Symbols.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

namespace OptionMenu {

namespace {
// A symbol drawn from the icon font, or no icon when the font or the name is missing.
QIcon symbolIcon(const std::string& name)
{
    const auto family = Symbols::fontFamily();
    const auto ligature = Symbols::ligature(name);
    if (!family || !ligature) return {};
    QIcon icon;
    for (const int pixels : {16, 32}) {
        QPixmap pixmap(pixels, pixels);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        QFont font(*family);
        font.setPixelSize(pixels);
        p.setFont(font);
        p.setPen(QGuiApplication::palette().color(QPalette::WindowText));
        p.drawText(pixmap.rect(), Qt::AlignCenter, *ligature);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// Format options have no symbol and read "to PNG" on the convert page.
QString itemTitle(const WheelOption& option, WheelMode mode)
{
    const QString title = QString::fromStdString(option.title);
    return mode == WheelMode::convert && !option.symbol ? "to " + title : title;
}
}

QMenu* build(const Paths& urls, Choose choose, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->addAction(QString::fromStdString(Catalog::summary(urls)))->setEnabled(false);
    for (WheelMode mode : WheelModes::allCases()) {
        QMenu* page = menu->addMenu(QString::fromStdString(WheelModes::title(mode)));
        const WheelOptions options = Catalog::options(urls, mode);
        if (options.empty()) page->addAction("Nothing available")->setEnabled(false);
        for (const WheelOption& option : options) {
            QAction* item = page->addAction(itemTitle(option, mode));
            if (option.symbol) item->setIcon(symbolIcon(*option.symbol));
            QObject::connect(item, &QAction::triggered, menu, [choose, option, urls] { choose(option, urls); });
        }
    }
    return menu;
}

}
