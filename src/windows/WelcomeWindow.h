#pragma once
#include <QWidget>

#include <functional>

class DraggableFileView;
class QLabel;

// "Welcome to Varnolt": the gesture with the current trigger keys, a sample picture to try it
// on, and the recent conversions. Kept for the life of the application.
class WelcomeWindow : public QWidget {
    Q_OBJECT
public:
    explicit WelcomeWindow(QWidget* parent = nullptr);
    // None while the sample picture cannot be made.
    DraggableFileView* sample() const { return sample_; }
    // "Settings…".
    std::function<void()> showSettings;

    // "⇧ Convert · ⌘ Tools · ⌃ Actions", "Try it: drag this file and tap Shift", "Or select files
    // in your file manager and press ⌃⌥Space.", from the stored keys.
    static QString keysLine();
    static QString tryLine();
    static QString selectionLine();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    QLabel* keys_;
    QLabel* tryIt_;
    QLabel* selection_;
    DraggableFileView* sample_;
};
