#include "TestSupport.h"

#include "core/Errors.h"
#include "core/OptionRun.h"
#include "core/Output.h"
#include "core/Recents.h"
#include "windows/Runner.h"

#include <QCoreApplication>
#include <QLocale>

using namespace TestSupport;

class RunnerTest : public FreshHome {
protected:
    TempDir dir;
    std::vector<Notice> notices;

    // Runs the option to its end and lets the main thread handle the result.
    void perform(bool isAction, const RunFn& run)
    {
        Runner::perform({"Compress", std::nullopt, isAction, false, run}, {dir / "photo.png"},
                        [this](const Notice& notice) { notices.push_back(notice); });
        OptionRun::waitForAll();
        QCoreApplication::processEvents();
    }
};

TEST_F(RunnerTest, OutputsBecomeRecentAndUndoableAndMessagesAreShownOnly)
{
    QLocale::setDefault(QLocale::c());
    writeFile(dir / "photo.png", std::string(2'000'000, 'p'));
    perform(false, [](const Paths& urls) {
        Output::Pending pending(Output::url(urls[0], "jpg"));
        writeFile(pending.path(), std::string(500'000, 'j'));
        return OptionResult{{pending.keep()}, std::nullopt};
    });
    perform(true, [](const Paths&) { return OptionResult{{}, std::string("12 words")}; });
    QLocale::setDefault(QLocale::system());

    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].title, "photo.jpg");
    EXPECT_EQ(notices[0].subtitle, "2.0 MB → 500 kB  (−75%)");  // larger outputs: RunnerTextTest
    EXPECT_FALSE(notices[0].failed);
    EXPECT_EQ(notices[1].title, "Compress");
    EXPECT_EQ(notices[1].subtitle, "12 words");
    // The message neither joins the recents nor replaces the batch to undo.
    EXPECT_EQ(Recents::urls(), Paths{dir / "photo.jpg"});
    EXPECT_EQ(UndoStore::last(), Paths{dir / "photo.jpg"});
}

TEST_F(RunnerTest, FailuresAreNamedAndCancelsAreSilent)
{
    const auto throwing = [](auto failure) { return [failure](const Paths&) -> OptionResult { throw failure; }; };
    perform(false, throwing(KError("The file is damaged")));
    perform(true, throwing(KError("No such folder")));
    perform(false, throwing(UserCancelled()));
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].title, "Couldn't compress");
    EXPECT_EQ(notices[0].subtitle, "The file is damaged");
    EXPECT_TRUE(notices[0].failed);
    EXPECT_EQ(notices[1].title, "Compress");  // an action keeps its title
    EXPECT_EQ(notices[1].subtitle, "No such folder");
    EXPECT_TRUE(Recents::urls().empty());
}
