#include "TestSupport.h"

#include "windows/OptionMenu.h"

#include <QAction>

#include <memory>

using namespace TestSupport;

namespace {
QMenu* page(const QMenu* menu, const QString& title)
{
    for (const QAction* action : menu->actions()) {
        if (action->text() == title) return action->menu();
    }
    return nullptr;
}

QStringList texts(const QMenu* menu)
{
    QStringList list;
    for (const QAction* action : menu->actions()) list << action->text();
    return list;
}
}

TEST(OptionMenuTest, FormatOptionsReadToAndSymbolOptionsKeepTheirTitle)
{
    TempDir dir;
    writeFile(dir / "table.csv", "a,b\n1,2\n");
    std::filesystem::create_directory(dir / "folder");
    writeFile(dir / "paper.pdf", "%PDF-1.4\n");

    std::unique_ptr<QMenu> table(OptionMenu::build({dir / "table.csv"}, [](const WheelOption&, const Paths&) {}));
    EXPECT_FALSE(table->actions().front()->isEnabled());
    EXPECT_EQ(texts(table.get()).mid(1), (QStringList{"Convert", "Tools", "Actions"}));
    EXPECT_TRUE(texts(page(table.get(), "Convert")).contains("to XLSX"));

    std::vector<std::string> chosen;
    const Paths mixed{dir / "folder", dir / "paper.pdf"};
    std::unique_ptr<QMenu> menu(OptionMenu::build(mixed, [&](const WheelOption& option, const Paths& urls) {
        chosen.push_back(option.title);
        EXPECT_EQ(urls, mixed);
    }));
    QMenu* convert = page(menu.get(), "Convert");
    EXPECT_EQ(texts(convert), (QStringList{"ZIP", "TAR.GZ"}));
    convert->actions().front()->trigger();
    EXPECT_EQ(chosen, std::vector<std::string>{"ZIP"});
}

// An empty selection offers nothing on any page (as `--list` without files shows).
TEST(OptionMenuTest, AnEmptyPageSaysSo)
{
    std::unique_ptr<QMenu> menu(OptionMenu::build({}, [](const WheelOption&, const Paths&) {}));
    for (const QString title : {"Convert", "Tools", "Actions"}) {
        const QMenu* options = page(menu.get(), title);
        ASSERT_EQ(options->actions().size(), 1) << title.toStdString();
        EXPECT_EQ(options->actions().front()->text(), "Nothing available");
        EXPECT_FALSE(options->actions().front()->isEnabled());
    }
}
