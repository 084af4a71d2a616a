#include "TestSupport.h"

#include "core/Recents.h"
#include "core/Settings.h"

using namespace TestSupport;
namespace fs = std::filesystem;

using RecentsTest = FreshHomeWithFiles;

TEST_F(RecentsTest, KeepsTheTenNewestWithoutDuplicates)
{
    for (int i = 1; i <= 11; ++i) Recents::add({file("out" + std::to_string(i))});
    Paths recent = Recents::urls();
    ASSERT_EQ(recent.size(), 10u);
    EXPECT_EQ(recent.front(), dir / "out11");
    EXPECT_EQ(recent.back(), dir / "out2");

    Recents::add({dir / "out5"});
    recent = Recents::urls();
    ASSERT_EQ(recent.size(), 10u);
    EXPECT_EQ(recent.front(), dir / "out5");
    EXPECT_EQ(std::count(recent.begin(), recent.end(), dir / "out5"), 1);

    fs::remove(dir / "out11");
    EXPECT_EQ(Recents::urls().size(), 9u);  // missing files are not offered
    EXPECT_EQ(Settings::stringList("recentOutputs").size(), 10);
}

TEST_F(RecentsTest, UndoMovesTheLastBatchToTheTrash)
{
    const Path a = file("a.png"), b = file("b.png"), c = file("c.png");
    Recents::add({a, b, c});
    UndoStore::record({a, b, c});

    EXPECT_EQ(UndoStore::undo(Paths{b}), 1);
    EXPECT_FALSE(fs::exists(b));
    EXPECT_TRUE(fs::exists(home() / ".local/share/Trash/files/b.png"));
    EXPECT_EQ(UndoStore::last(), (Paths{a, c}));
    EXPECT_EQ(Recents::urls(), (Paths{a, c}));

    fs::remove(c);
    EXPECT_EQ(UndoStore::undo(), 1);
    EXPECT_TRUE(UndoStore::last().empty());
    EXPECT_EQ(UndoStore::undo(), 0);

    // A batch whose outputs are all gone moves nothing.
    UndoStore::record({a, dir / "gone.png"});
    fs::remove(a);
    EXPECT_EQ(UndoStore::undo(), 0);
    UndoStore::record({});
    EXPECT_TRUE(UndoStore::last().empty());
}
