#include "windows/OptionMenu.h"

#include "catalog/Catalog.h"
#include "windows/FormParts.h"

namespace OptionMenu {

namespace {
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
            if (option.symbol) item->setIcon(FormParts::symbolIcon(*option.symbol));
            QObject::connect(item, &QAction::triggered, menu, [choose, option, urls] { choose(option, urls); });
        }
    }
    return menu;
}

}
