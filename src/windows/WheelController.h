#pragma once
#include "core/Paths.h"
#include "core/WheelMode.h"
#include "core/WheelOption.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class WheelPanel;
class WheelView;

// Decides what the wheel shows and when: which files, which mode, which page. Opened by the
// drag monitor while the user drags files, or by the hotkey for selected files (then driven
// by mouse and keyboard); a pick hides the wheel and hands the option to the runner.
// Main thread only.
class WheelController : public QObject {
    Q_OBJECT
public:
    WheelController();
    ~WheelController() override;

    // Drag path: a trigger key went down while `dragged` files were being dragged.
    void show(WheelMode mode, const Paths& dragged);
    // Hotkey path: the wheel for these files, keyboard-driven, slice 0 lit.
    void showInteractive(const Paths& urls, WheelMode mode);
    // The mouse button came up after a drag: the wheel closes 0.4 s later unless a drop
    // has closed it meanwhile.
    void dragEnded();
    // A key for the wheel on screen (arrows, Return, keypad Enter, Tab, Esc), as a Qt key;
    // answers whether it was used.
    bool handleKey(int qtKey);
    void nextPage();
    void hide();
    void drop(int index);
    void switchMode(WheelMode mode);

    // Shown and not closing.
    bool visible() const;
    bool closing() const { return closing_; }
    bool interactive() const { return interactive_; }
    std::optional<WheelMode> mode() const { return mode_; }
    int page() const { return page_; }
    int pageCount() const { return static_cast<int>(pages_.size()); }
    const WheelOptions& options() const { return options_; }
    // None until the wheel is first shown.
    WheelPanel* panel() const { return panel_.get(); }

    // Where picks go; the runner unless a test says otherwise.
    std::function<void(const WheelOption&, const Paths&, std::optional<QPoint> near)> perform;

private:
    WheelPanel& makePanel();
    WheelView& view();
    void present(bool focusable);
    void configure(WheelMode mode);
    void showPage();

    std::unique_ptr<WheelPanel> panel_;
    Paths urls_;
    WheelOptions options_;
    std::vector<WheelOptions> pages_;
    int page_ = 0;
    std::optional<WheelMode> mode_;
    int generation_ = 0;
    bool interactive_ = false;
    bool closing_ = false;
};
