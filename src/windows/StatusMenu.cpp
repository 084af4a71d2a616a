#include "windows/StatusMenu.h"

#include "core/Recents.h"
#include "core/Settings.h"
#include "platform/FileManager.h"
#include "windows/FileChooser.h"
#include "windows/OptionMenu.h"
#include "windows/Runner.h"
#include "windows/Toast.h"

#include <QApplication>
#include <QCursor>
#include <QFileIconProvider>
#include <QFileInfo>

StatusMenu::StatusMenu(QObject* parent) : QObject(parent), menu_(std::make_unique<QMenu>())
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

QString StatusMenu::selectionTitle()
{
    // An unrecognised choice counts as the default one.
    const HotkeyChoice choice = Settings::hotkey().value_or(HotkeyChoice::ctrlOptSpace);
    const QString title = "Convert Selected Files";
    if (choice == HotkeyChoice::off) return title;
    return title + "    " + QString::fromStdString(HotkeyChoices::label(choice));
}

void StatusMenu::rebuild()
{
    // clear() drops the actions but not the submenus made by addMenu.
    for (QMenu* submenu : menu_->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) submenu->deleteLater();
    menu_->clear();
    menu_->addAction(hint())->setEnabled(false);
    menu_->addSeparator();
    menu_->addAction(selectionTitle(), this, [this] { convertSelection ? convertSelection() : chooseFile(); });
    menu_->addAction("Convert a File…", this, &StatusMenu::chooseFile)->setShortcut(QKeySequence("Ctrl+O"));
    menu_->addAction("Undo Last Conversion", this, &StatusMenu::undoLast)->setEnabled(!UndoStore::last().empty());
    addRecents();
    menu_->addSeparator();
    QAction* welcome = menu_->addAction("How It Works", this, [this] { showWelcome(); });
    welcome->setEnabled(bool(showWelcome));
    QAction* settings = menu_->addAction("Settings…", this, [this] { showSettings(); });
    settings->setShortcut(QKeySequence("Ctrl+,"));
    settings->setEnabled(bool(showSettings));
    menu_->addAction("Quit Varnolt", qApp, &QCoreApplication::quit)->setShortcut(QKeySequence("Ctrl+Q"));
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
    FileChooser dialog;
    if (dialog.exec() != QDialog::Accepted) return;
    QMenu* popup = OptionMenu::build(dialog.chosen(), [](const WheelOption& option, const Paths& files) {
        Runner::perform(option, files);
    });
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->popup(QCursor::pos());
}

void StatusMenu::undoLast()
{
    Toast::show(std::nullopt, Toast::undo(std::nullopt));
}
