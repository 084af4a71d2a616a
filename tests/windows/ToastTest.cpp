#include "WindowTesting.h"

#include "platform/ColorScheme.h"
#include "platform/Compositor.h"
#include "wheel/WheelPalette.h"

#include <QLineEdit>
#include <QScreen>
#include <QUrl>

class ToastTest : public WindowTest {};

TEST_F(ToastTest, RisesIntoPlaceAndStaysInsideTheScreen)
{
    REQUIRE_DESKTOP();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    Toast* corner = Toast::show(screen.bottomRight());
    // Placed 14 points low and transparent, it rises into place.
    EXPECT_EQ(corner->view().pos(), corner->restingPlace() + QPoint(0, 14));
    ASSERT_TRUE(settled(corner));
    const QRect card = corner->view().frameGeometry();
    EXPECT_EQ(card.size(), QSize(340, 64));
    EXPECT_EQ(screen.bottomRight() - card.bottomRight(), QPoint(8, 8));
}

TEST_F(ToastTest, ASuccessWithoutOutputsHasNoUndoAndLeavesAfterFourSeconds)
{
    Toast* toast = Toast::show(std::nullopt, {"Copied", "Copied — paste in your file manager or any app", State::success});
    EXPECT_TRUE(toast->view().undoButton().isEmpty());
    TestDesktop::pause(3500);
    EXPECT_EQ(Toast::live().size(), 1u);
    EXPECT_TRUE(TestDesktop::waitFor([] { return Toast::live().empty(); }, 1500));
}

// A click reveals what the job wrote, or says why it can't; it never takes the focus.
TEST_F(ToastTest, ClicksRevealOutputsOrExplainAndNeverTakeTheFocus)
{
    REQUIRE_DESKTOP();
    FakeFileManager fileManager;
    QLineEdit editor;
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(TestDesktop::waitFor([&] { return QGuiApplication::focusWindow() == editor.windowHandle(); }));

    const Path photo = file("photo.jpg"), gone = dir / "gone.jpg";
    const struct { ToastModel content; bool staysWithFailure; QStringList revealed; } cases[] = {
        {{"Couldn't compress", "The file is damaged", State::failure}, false, {}},
        {{"photo.jpg", "1 KB → 1 KB", State::success, {photo}}, false, {QUrl::fromLocalFile(qpath(photo)).toString()}},
        {{"gone.jpg", "1 KB → 1 KB", State::success, {gone}}, true, {}},
    };
    for (const auto& c : cases) {
        fileManager.shown.clear();
        Toast* toast = Toast::show(QPoint(400, 300), c.content);
        ASSERT_TRUE(click(toast, QPoint(120, 32)));
        if (c.staysWithFailure) {
            ASSERT_TRUE(TestDesktop::waitFor([&] { return toast->model().state == State::failure; }));
            EXPECT_EQ(toast->model().title, "Couldn't show in folder");
            EXPECT_EQ(toast->model().subtitle, "gone.jpg was moved or deleted");
            clear();
        } else {
            EXPECT_TRUE(TestDesktop::waitFor([] { return Toast::live().empty(); })) << c.content.title;
            EXPECT_TRUE(TestDesktop::waitFor([&] { return fileManager.shown == c.revealed; }, c.revealed.empty() ? 200 : 5000)) << c.content.title;
        }
        EXPECT_EQ(QGuiApplication::focusWindow(), editor.windowHandle()) << c.content.title;
    }
}

TEST_F(ToastTest, UndoMovesTheOutputsToTheTrashOrSaysWhyNot)
{
    REQUIRE_DESKTOP();
    const struct { int files; bool removedFirst; ToastModel expected; } cases[] = {
        {2, false, {"Undone", "Moved 2 files to the Trash", State::success}},
        {1, false, {"Undone", "Moved 1 file to the Trash", State::success}},
        {2, true, {"Couldn't undo", "The files were moved or deleted", State::failure}},
    };
    for (const auto& c : cases) {
        Paths outputs;
        for (int i = 0; i < c.files; ++i) outputs.push_back(file("out" + std::to_string(i) + ".png"));
        UndoStore::record(outputs);
        Toast* toast = Toast::show(std::nullopt, {"2 files", "2 KB → 1 KB  (−50%)", State::success, outputs});
        ASSERT_FALSE(toast->view().undoButton().isEmpty());
        for (const Path& p : c.removedFirst ? outputs : Paths{}) std::filesystem::remove(p);
        ASSERT_TRUE(click(toast, toast->view().undoButton().center()));
        ASSERT_TRUE(TestDesktop::waitFor([&] { return toast->model().title != "2 files"; }));
        EXPECT_EQ(toast->model(), c.expected);
        EXPECT_TRUE(toast->view().undoButton().isEmpty());
        for (const Path& p : outputs) EXPECT_FALSE(std::filesystem::exists(p));
        EXPECT_TRUE(UndoStore::last().empty());
        clear();
    }
}

// The state icons, the ring of a job that reports progress, and the card's colours, as the
// desktop's colour scheme turns light and dark under cards already showing; the pictures are
// kept when VARNOLT_SCREENSHOTS names a folder.
TEST_F(ToastTest, IconsRingAndCardFollowTheDesktopColourScheme)
{
    REQUIRE_DESKTOP();
    FakePortal portal(1);
    ColorScheme fresh(QDBusConnection::sessionBus());
    EXPECT_TRUE(TestDesktop::waitFor([&] { return fresh.dark(); })) << "read at start";
    const QColor accent = WheelPalettes::accent(), red(255, 59, 48);
    for (const bool dark : {false, true}) {
        Toast* working = Toast::show(QPoint(300, 100), {"JPG…", "photo.png", State::working});
        working->setProgress(0.5);
        Toast* success = Toast::show(QPoint(300, 200), {"photo.jpg", "2.4 MB → 1.1 MB  (−54%)", State::success, {file("photo.jpg")}});
        Toast* failure = Toast::show(QPoint(300, 300), {"Couldn't convert", "The file is damaged", State::failure});
        for (Toast* toast : {working, success, failure}) settled(toast);
        portal.change(dark ? 1 : 2);
        EXPECT_TRUE(TestDesktop::waitFor([&] {
            return fresh.dark() == dark && std::ranges::all_of(Toast::live(), [&](Toast* t) { return t->view().darkAppearance() == dark; });
        }));
        TestDesktop::pause(700);  // past the spring of the content
        const QImage screen = TestDesktop::screenshot();
        TestDesktop::keep(screen.copy(QRect(100, 40, 420, 320)), dark ? "toasts-dark" : "toasts-light");

        const QColor card = pixel(screen, success, QPoint(170, 5));
        EXPECT_TRUE(dark ? card.lightness() < 60 : card.lightness() > 230) << card.name().toStdString();
        EXPECT_TRUE(near(pixel(screen, working, QPoint(36, 32)), accent)) << "the ring's filled half";
        EXPECT_FALSE(near(pixel(screen, working, QPoint(18, 32)), accent)) << "the ring's empty half";
        EXPECT_TRUE(near(pixel(screen, success, QPoint(27, 24)), accent)) << "the check";
        EXPECT_TRUE(near(pixel(screen, failure, QPoint(22, 37)), red)) << "the warning";
        clear();
    }
}

// Over a compositor the card lets the desktop show through; without one it is solid and cut
// to its rounded shape. Either way its corners show what is behind.
TEST_F(ToastTest, TranslucentOverACompositorAndCutToShapeWithout)
{
    REQUIRE_DESKTOP();
    QWidget backdrop;
    backdrop.setStyleSheet("background: white");
    backdrop.setGeometry(100, 100, 600, 400);
    backdrop.show();
    for (const bool compositing : {false, true}) {
        TestDesktop::Program compositor;
        if (compositing) compositor = TestDesktop::launch("xcompmgr", {});
        ASSERT_TRUE(TestDesktop::waitFor([&] { return Compositor::active() == compositing; })) << compositing;
        Toast* toast = Toast::show(QPoint(400, 300), {"Undone", "Moved 1 file to the Trash", State::success});
        toast->view().setDarkAppearance(true);
        settled(toast);
        TestDesktop::pause(300);
        const QImage screen = TestDesktop::screenshot();
        TestDesktop::keep(screen.copy(toast->view().frameGeometry().adjusted(-10, -10, 10, 10)), compositing ? "toast-composited" : "toast-solid");
        EXPECT_TRUE(near(pixel(screen, toast, QPoint(1, 1)), Qt::white)) << "corner, compositing " << compositing;
        const int card = pixel(screen, toast, QPoint(170, 5)).lightness();
        EXPECT_TRUE(compositing ? card > 40 && card < 80 : card < 40) << card;
        clear();
    }
}

// Another program takes the outputs as file URLs, copied, never moved.
TEST_F(ToastTest, OutputsDragIntoOtherProgramsAsFileUrls)
{
    REQUIRE_DESKTOP();
    TestDesktop::Program target = TestDesktop::launch(DROP_TARGET, {});
    ASSERT_TRUE(target->waitForReadyRead(10000));
    const Path photo = file("photo.jpg");
    Toast* toast = Toast::show(QPoint(300, 200), {"photo.jpg", "1 KB → 1 KB", State::success, {photo}});
    ASSERT_TRUE(settled(toast));
    const QPoint from = toast->view().mapToGlobal(QPoint(120, 32)), to(800, 200);
    ASSERT_TRUE(TestDesktop::drag({from, from + QPoint(20, 0), to - QPoint(20, 0), to}, 0.3));
    ASSERT_TRUE(TestDesktop::waitFor([&] { return target->state() == QProcess::NotRunning; }, 10000));
    const QString said = QString::fromUtf8(target->readAll());
    EXPECT_TRUE(said.contains(qpath(photo))) << said.toStdString();
    EXPECT_TRUE(std::filesystem::exists(photo));
    EXPECT_EQ(Toast::live(), std::vector<Toast*>{toast}) << "a drag is not a click";
}
