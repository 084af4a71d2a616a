#include "windows/RecentList.h"

#include "core/Errors.h"
#include "core/Recents.h"
#include "core/Settings.h"
#include "platform/FileManager.h"
#include "windows/FormParts.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

RecentList::RecentList(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* header = new QHBoxLayout;
    auto* title = new QLabel("Recent Conversions");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    header->addWidget(title, 1);
    undo_ = new QPushButton("Undo Last");
    undo_->setToolTip("Move the most recent result to the Trash");
    connect(undo_, &QPushButton::clicked, this, [this] {
        try {
            UndoStore::undo();
        } catch (const KError&) {
            // What could not be moved stays listed; the list below shows the truth.
        }
        reload();
    });
    header->addWidget(undo_);
    auto* clear = new QPushButton("Clear");
    connect(clear, &QPushButton::clicked, this, [] { Settings::remove(SettingsKey::recentOutputs); });
    header->addWidget(clear);
    layout->addLayout(header);
    rows_ = new QVBoxLayout;
    rows_->setSpacing(2);
    layout->addLayout(rows_);
    reload();
    connect(&Settings::notifier(), &SettingsNotifier::changed, this, [this](const QString& key) {
        if (key.isEmpty() || key == SettingsKey::recentOutputs || key == SettingsKey::lastOutputs) reload();
    });
}

void RecentList::reload()
{
    FormParts::clearRows(rows_);
    undo_->setVisible(!UndoStore::last().empty());
    const Paths recents = Recents::urls();
    if (recents.empty()) rows_->addWidget(FormParts::caption("Nothing yet — your converted files will show up here."));
    QFileIconProvider icons;
    for (const Path& url : recents) {
        auto* row = new QWidget;
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        const QString file = QString::fromStdString(url.string());
        auto* icon = new QLabel;
        icon->setPixmap(icons.icon(QFileInfo(file)).pixmap(22, 22));
        line->addWidget(icon);
        auto* name = new QLabel(QString::fromStdString(url.filename().string()));
        name->setToolTip(file);
        line->addWidget(name, 1);
        auto* show = new QToolButton;
        show->setAutoRaise(true);
        show->setIcon(FormParts::symbolIcon("magnifyingglass"));
        show->setText("Show in Folder");
        show->setToolButtonStyle(show->icon().isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonTextBesideIcon);
        connect(show, &QToolButton::clicked, this, [url] { FileManager::reveal({url}); });
        line->addWidget(show);
        rows_->addWidget(row);
    }
}
