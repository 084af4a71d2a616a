#include "WindowTesting.h"

#include "windows/OptionMenu.h"

TEST(OptionMenuTest, PagesListTheSelectionsOptionsAndSayWhenEmpty)
{
    TempDir dir;
    writeFile(dir / "table.csv", "a,b\n1,2\n");
    std::filesystem::create_directory(dir / "folder");
    writeFile(dir / "paper.pdf", "%PDF-1.4\n");

    // Format options read "to …"; symbol options keep their title.
    std::unique_ptr<QMenu> table(OptionMenu::build({dir / "table.csv"}, [](const WheelOption&, const Paths&) {}));
    EXPECT_EQ(texts(table.get()).mid(1), (QStringList{"Convert", "Tools", "Actions"}));
    EXPECT_TRUE(texts(item(table.get(), "Convert")->menu()).contains("to XLSX"));

    std::vector<std::string> chosen;
    const Paths mixed{dir / "folder", dir / "paper.pdf"};
    std::unique_ptr<QMenu> menu(OptionMenu::build(mixed, [&](const WheelOption& option, const Paths& urls) {
        chosen.push_back(option.title);
        EXPECT_EQ(urls, mixed);
    }));
    QMenu* convert = item(menu.get(), "Convert")->menu();
    EXPECT_EQ(texts(convert), (QStringList{"ZIP", "TAR.GZ"}));
    convert->actions().front()->trigger();
    EXPECT_EQ(chosen, std::vector<std::string>{"ZIP"});

    std::unique_ptr<QMenu> empty(OptionMenu::build({}, [](const WheelOption&, const Paths&) {}));
    for (const QString title : {"Convert", "Tools", "Actions"}) {
        const QMenu* options = item(empty.get(), title)->menu();
        EXPECT_EQ(texts(options), QStringList{"Nothing available"}) << title.toStdString();
        EXPECT_FALSE(options->actions().front()->isEnabled());
    }
}
