#pragma once
#include <QWidget>

class QPushButton;
class QVBoxLayout;

// "Recent Conversions": the recent outputs, newest first, each with "Show in Folder", plus
// "Undo Last" and "Clear". Follows the store as runs add outputs.
class RecentList : public QWidget {
    Q_OBJECT
public:
    explicit RecentList(QWidget* parent = nullptr);

private:
    void reload();

    QVBoxLayout* rows_;
    QPushButton* undo_;
};
