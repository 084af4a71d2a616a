#include "TestSupport.h"

#include "core/Recents.h"
#include "core/Settings.h"

using namespace TestSupport;
namespace fs = std::filesystem;

using RecentsTest = FreshHomeWithFiles;

TEST_F(RecentsTest, KeepsTheTenNewestWithoutDuplicates)
{
    Paths newest;
    for (int i = 1; i <= 11; ++i) Recents::add({file("out" + std::to_string(i))});
    for (int i = 11; i >= 2; --i) newest.push_back(dir / ("out" + std::to_string(i)));
    EXPECT_EQ(Recents::urls(), newest);

    // Added again, out5 moves to the front instead of standing twice.
    Recents::add({dir / "out5"});
    std::erase(newest, dir / "out5");
    newest.insert(newest.begin(), dir / "out5");
    EXPECT_EQ(Recents::urls(), newest);

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
