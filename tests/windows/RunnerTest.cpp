#include "TestSupport.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Recents.h"
#include "core/Settings.h"
#include "windows/Runner.h"

#include <QCoreApplication>
#include <QLocale>
#include <QThreadPool>

using namespace TestSupport;

class RunnerTest : public FreshHome {
protected:
    TempDir dir;
    std::vector<Notice> notices;

    void SetUp() override
    {
        FreshHome::SetUp();
        QLocale::setDefault(QLocale::c());
    }
    void TearDown() override
    {
        QLocale::setDefault(QLocale::system());
        FreshHome::TearDown();
    }

    // Runs the option to its end and lets the main thread handle the result.
    void perform(const WheelOption& option, const Paths& urls)
    {
        Runner::perform(option, urls, [this](const Notice& notice) { notices.push_back(notice); });
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

    static WheelOption failing(const std::exception_ptr& failure, bool isAction = false)
    {
        return WheelOption{"Compress", std::nullopt, isAction, false, [failure](const Paths&) -> OptionResult {
                               std::rethrow_exception(failure);
                           }};
    }
};

TEST_F(RunnerTest, OutputsBecomeRecentAndUndoable)
{
    const Path source = dir / "photo.png";
    writeFile(source, std::string(2'000'000, 'p'));
    const WheelOption shrink{"JPG", std::nullopt, false, false, [](const Paths& urls) {
                                 Output::Pending pending(Output::url(urls[0], "jpg"));
                                 writeFile(pending.path(), std::string(500'000, 'j'));
                                 return OptionResult{{pending.keep()}, std::nullopt};
                             }};
    perform(shrink, {source});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].title, "photo.jpg");
    EXPECT_EQ(notices[0].subtitle, "2.0 MB → 500 kB  (−75%)");
    EXPECT_FALSE(notices[0].failed);
    EXPECT_EQ(Recents::urls(), Paths{dir / "photo.jpg"});
    EXPECT_EQ(UndoStore::last(), Paths{dir / "photo.jpg"});
}

TEST_F(RunnerTest, FailuresAreNamedAndCancelsAreSilent)
{
    perform(failing(std::make_exception_ptr(KError("The file is damaged"))), {dir / "a.png"});
    perform(failing(std::make_exception_ptr(KError("No such folder")), true), {dir / "a.png"});
    perform(failing(std::make_exception_ptr(UserCancelled())), {dir / "a.png"});
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].title, "Couldn't compress");
    EXPECT_EQ(notices[0].subtitle, "The file is damaged");
    EXPECT_TRUE(notices[0].failed);
    EXPECT_EQ(notices[1].title, "Compress");  // an action keeps its title
    EXPECT_EQ(notices[1].subtitle, "No such folder");
    EXPECT_TRUE(Recents::urls().empty());
}

TEST_F(RunnerTest, AMessageWithoutOutputsIsShownButNotRecorded)
{
    const WheelOption count{"Word Count", std::nullopt, true, false,
                            [](const Paths&) { return OptionResult{{}, std::string("12 words")}; }};
    UndoStore::record({});
    perform(count, {dir / "a.txt"});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].title, "Word Count");
    EXPECT_EQ(notices[0].subtitle, "12 words");
    EXPECT_TRUE(Settings::stringList("recentOutputs").isEmpty());
}
