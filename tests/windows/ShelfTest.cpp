#include "WindowTesting.h"

#include "windows/Shelf.h"
#include "windows/ShelfView.h"

class ShelfTest : public FreshHomeWithFiles {
protected:
    void TearDown() override
    {
        for (Shelf* shelf : std::vector<Shelf*>(Shelf::live())) shelf->close();
        TestDesktop::waitFor([] { return Shelf::live().empty(); });
        FreshHomeWithFiles::TearDown();
    }
};

// Near a screen edge the card moves inside, 8 points from it.
TEST(ShelfPlacement, StaysInsideTheScreen)
{
    const QRect screen(0, 0, 1280, 800);
    EXPECT_EQ(Shelf::placement({300, 300}, screen), QPoint(340, 216));
    EXPECT_EQ(Shelf::placement({1270, 790}, screen), QPoint(1280 - 158, 800 - 176));
    EXPECT_EQ(Shelf::placement({-50, 10}, screen), QPoint(8, 8));
}

// Two files parked on a shelf, dragged into another program: it receives both, and the
// originals and the shelf stay as they were.
TEST_F(ShelfTest, DraggingOutHandsOverCopies)
{
    REQUIRE_DESKTOP();
    const Path a = file("a.txt", "a"), b = file("b.png", "b");
    Shelf* shelf = Shelf::open({a, b}, QPoint(200, 400));
    TestDesktop::Program target = TestDesktop::launch(DROP_TARGET, {});
    ASSERT_TRUE(target->waitForReadyRead(10000));
    TestDesktop::pause(500);
    TestDesktop::keep(TestDesktop::screenshot(), "shelf");
    const QPoint from = shelf->view()->mapToGlobal(QPoint(75, 80)), to(800, 200);
    ASSERT_TRUE(TestDesktop::drag({from, from + QPoint(20, 0), to - QPoint(20, 0), to}, 0.3));
    ASSERT_TRUE(TestDesktop::waitFor([&] { return target->state() == QProcess::NotRunning; }, 10000));
    const QString said = QString::fromUtf8(target->readAll());
    EXPECT_TRUE(said.contains(qpath(a)) && said.contains(qpath(b))) << said.toStdString();
    EXPECT_TRUE(std::filesystem::exists(a) && std::filesystem::exists(b));
    EXPECT_EQ(shelf->view()->urls().size(), 2u);
}

// Files dropped from another program join the shelf, and the program keeps its originals.
TEST_F(ShelfTest, DroppingInAddsFilesAndLeavesTheOriginals)
{
    REQUIRE_DESKTOP();
    const Path a = file("a.txt", "a"), c = file("c.txt", "c");
    Shelf* shelf = Shelf::open({a}, QPoint(500, 400));
    TestDesktop::Program source = TestDesktop::launch(DRAG_SOURCE, {qpath(c)});
    ASSERT_TRUE(source->waitForReadyRead(10000));
    TestDesktop::pause(500);
    const QPoint to = shelf->view()->mapToGlobal(shelf->view()->rect().center());
    ASSERT_TRUE(TestDesktop::drag({{120, 80}, {140, 80}, to - QPoint(20, 0), to}, 0.3));
    ASSERT_TRUE(TestDesktop::waitFor([&] { return shelf->view()->urls().size() == 2; }, 10000));
    EXPECT_EQ(shelf->view()->urls().back(), c);
    QByteArray said;
    EXPECT_TRUE(TestDesktop::waitFor([&] { return (said += source->readAll()).endsWith("copy\n"); }, 5000)) << said.toStdString();
    EXPECT_TRUE(std::filesystem::exists(c));
}
