#pragma once
// What the window tests share: toasts found, waited for and clicked; menus read back; a
// fixture that leaves no run or toast behind for the next test.
#include "FakeDesktop.h"
#include "TestDesktop.h"
#include "TestSupport.h"

#include "core/OptionRun.h"
#include "core/Recents.h"
#include "core/Settings.h"
#include "windows/Toast.h"
#include "windows/ToastView.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>

using namespace TestSupport;
using State = ToastModel::State;

inline QString qpath(const Path& path) { return QString::fromStdString(path.string()); }

// A picture of one colour, saved in the format its name says.
inline bool savePicture(const Path& to, QSize size, QColor colour = Qt::darkCyan)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    return picture.save(qpath(to));
}

inline Toast* newest() { return Toast::live().empty() ? nullptr : Toast::live().back(); }

// Dismisses every toast and waits until all are gone, so that a test starts with none.
inline void clear()
{
    for (Toast* toast : Toast::live()) toast->dismiss();
    TestDesktop::waitFor([] { return Toast::live().empty(); });
}

// Waits until the card has risen into place and been drawn.
inline bool settled(const Toast* toast)
{
    const bool risen = TestDesktop::waitFor([&] { return toast->view().pos() == toast->restingPlace(); });
    TestDesktop::pause(100);
    return risen;
}

// Clicks a point of the card (card coordinates) with the real pointer.
inline bool click(const Toast* toast, QPoint at) { settled(toast); return TestDesktop::click(toast->view().mapToGlobal(at)); }

// A pixel of the screen at a point of the card.
inline QColor pixel(const QImage& screen, const Toast* toast, QPoint at) { return screen.pixelColor(toast->view().mapToGlobal(at)); }

inline bool near(const QColor& a, const QColor& b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance && std::abs(a.blue() - b.blue()) <= tolerance;
}

// The menu as its texts, "-" for a separator.
inline QStringList texts(const QMenu* menu)
{
    QStringList list;
    for (const QAction* action : menu->actions()) list << (action->isSeparator() ? "-" : action->text());
    return list;
}

inline QAction* item(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text) return action;
    return nullptr;
}

// A fresh home and scratch folder, with no toast from before and none left after.
class WindowTest : public FreshHomeWithFiles {
protected:
    void SetUp() override
    {
        FreshHomeWithFiles::SetUp();
        clear();
    }
    void TearDown() override
    {
        OptionRun::waitForAll();
        clear();
        FreshHomeWithFiles::TearDown();
    }
};
