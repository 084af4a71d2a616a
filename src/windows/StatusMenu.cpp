#include "windows/StatusMenu.h"

#include "core/Errors.h"
#include "core/Recents.h"
#include "core/RunnerText.h"
#include "core/Settings.h"
#include "platform/FileManager.h"
#include "windows/OptionMenu.h"
#include "windows/Runner.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>

StatusMenu::StatusMenu(Notify notify, QObject* parent)
    : QObject(parent), notify_(std::move(notify)), menu_(std::make_unique<QMenu>())
{
    menu_->setToolTipsVisible(true);
    connect(menu_.get(), &QMenu::aboutToShow, this, &StatusMenu::rebuild);
    rebuild();
}

QString StatusMenu::hint()
{
    QStringList pages;
    for (WheelMode mode : WheelModes::allCases()) {
        pages << QString::fromStdString(TriggerKeys::glyph(Settings::key(mode)) + " " + WheelModes::title(mode));
    }
    return "Drag a file, then tap " + pages.join(" · ");
}

void StatusMenu::rebuild()
{
    // clear() drops the actions but not the submenus made by addMenu.
    for (QMenu* submenu : menu_->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) submenu->deleteLater();
    menu_->clear();
    menu_->addAction(hint())->setEnabled(false);
    menu_->addSeparator();
    QAction* choose = menu_->addAction("Convert a File…", this, &StatusMenu::chooseFile);
    choose->setShortcut(QKeySequence("Ctrl+O"));
    QAction* undo = menu_->addAction("Undo Last Conversion", this, &StatusMenu::undoLast);
    undo->setEnabled(!UndoStore::last().empty());
    addRecents();
    menu_->addSeparator();
    QAction* quit = menu_->addAction("Quit Varnolt", qApp, &QCoreApplication::quit);
    quit->setShortcut(QKeySequence("Ctrl+Q"));
}

void StatusMenu::addRecents()
{
    menu_->addSeparator();
    const Paths recents = Recents::urls();
    if (recents.empty()) {
        menu_->addAction("Recent Conversions — none yet")->setEnabled(false);
        return;
    }
    menu_->addAction("Recent Conversions")->setEnabled(false);
    constexpr size_t shown = 5;
    for (size_t i = 0; i < recents.size() && i < shown; ++i) addRecentItem(menu_.get(), recents[i]);
    QMenu* more = menu_->addMenu(recents.size() > shown ? "More" : "Options");
    if (recents.size() > shown) {
        for (size_t i = shown; i < recents.size(); ++i) addRecentItem(more, recents[i]);
        more->addSeparator();
    }
    more->addAction("Clear Recents", [] { Recents::clear(); });
}

void StatusMenu::addRecentItem(QMenu* into, const Path& url)
{
    const QString path = QString::fromStdString(url.string());
    const QFileIconProvider icons;
    QAction* item = into->addAction(icons.icon(QFileInfo(path)), QString::fromStdString(url.filename().string()),
                                    [url] { FileManager::reveal({url}); });
    item->setToolTip("Show in Folder — " + path);
}

void StatusMenu::chooseFile()
{
    QFileDialog dialog;
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setLabelText(QFileDialog::Accept, "Choose");
    if (dialog.exec() != QDialog::Accepted) return;
    Paths urls;
    for (const QString& file : dialog.selectedFiles()) urls.push_back(absoluteNormal(file.toStdString()));
    if (urls.empty()) return;
    QMenu* popup = OptionMenu::build(urls, [notify = notify_](const WheelOption& option, const Paths& files) {
        Runner::perform(option, files, notify);
    });
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->popup(QCursor::pos());
}

void StatusMenu::undoLast()
{
    try {
        notify_({"Undone", RunnerText::moved(UndoStore::undo()), false});
    } catch (...) {
        notify_({"Couldn't undo", Errors::userMessage(std::current_exception()), true});
    }
}
