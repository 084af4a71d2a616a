#pragma once
#include "core/WheelMode.h"
#include "core/WheelOption.h"
#include "wheel/WheelCache.h"
#include "wheel/WheelPalette.h"

#include <QImage>
#include <QPainterPath>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

// The wheel: a ring of up to eight slices around a hub. It draws itself with QPainter, on
// screen or into a picture, maps pointer and drag positions to slices, reports picks to its
// controller through callbacks and animates opening, closing, highlighting, page turns and
// mode switches on its own 120 Hz timer. Main thread only.
class WheelView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int debugHover READ debugHover WRITE setDebugHover)

public:
    // What the outgoing slices of a transition are leaving for.
    enum class Kind { page, wheel };
    // Monotonic seconds; tests hand in their own clock to step time by hand.
    using Clock = std::function<double()>;

    explicit WheelView(QWidget* parent = nullptr);

    std::function<void(int index)> onDrop;      // files dropped or clicked on a slice
    std::function<void()> onCancel;             // click outside the slices
    std::function<bool(int qtKey)> onKey;       // a key press; answers whether it was used
    std::function<void(WheelMode)> onSwitch;    // a trigger key pressed while the view has the keyboard
    std::function<void()> onNextPage;           // click in the hub when there are several pages
    std::function<void()> onClosed;             // taken and called once when closing ends
    std::function<void()> onHighlight;          // the highlight moved to another slice on screen
    bool interactive = false;                   // picked by mouse and keyboard (hotkey wheel)

    void configure(WheelMode mode, const WheelOptions& options, const std::string& summary, int page, int pageCount);
    void select(std::optional<int> index);
    void moveSelection(int step);
    void finishAnimations();
    // Requests drawing and makes sure the animation timer runs.
    void animate();

    int debugHover() const;
    void setDebugHover(int index);
    double appear() const { return appear_; }
    void setAppear(double value) { appear_ = value; }
    double appearTarget() const { return appearTarget_; }
    void setAppearTarget(double value) { appearTarget_ = value; }
    std::optional<int> hovered() const { return hovered_; }

    // Shows the turn from `from` to the slices on screen frozen at progress 0…1.
    void showTransition(const WheelOptions& from, Kind kind, double progress);
    // Sets one slice's highlight level and drops any transition (a frozen frame).
    void setGlow(int index, double glow);
    // Light or dark regardless of the desktop; none follows the widget's palette.
    void setDarkAppearance(std::optional<bool> dark);
    // The current frame at the given device pixel ratio, transparent outside the disc.
    QImage picture(double devicePixelRatio);
    // The slice under a point in widget coordinates.
    std::optional<int> sliceAt(QPointF p) const;

    void setClock(Clock clock);
    // One animation step, normally run by the timer.
    void tick();
    bool animating() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Outgoing {
        WheelOptions options;
        std::vector<double> glow;
        Kind kind = Kind::page;
    };
    // How one set of slices is placed during a transition.
    struct SetPose {
        double alpha = 1;
        double rotation = 0;  // radians, clockwise
        double scale = 1;
    };

    QPointF centre() const;
    void setHovered(std::optional<int> index);
    void modifiersChanged(Qt::KeyboardModifiers flags);
    bool settled() const;
    void scheduleTick();
    // A drag over the view: highlights the slice under it and answers whether it can drop.
    bool dragOver(QPointF position);

    // Drawing (WheelPainting.cpp).
    void paint(QPainter& painter);
    void paintContent(QPainter& painter, const WheelPalette& palette);
    void paintSet(QPainter& painter, const WheelPalette& palette, const WheelOptions& options,
                  const std::vector<double>& glow, const SetPose& pose);
    void paintSlice(QPainter& painter, const WheelPalette& palette, const WheelOption& option, int i, int n,
                    double glow, const SetPose& pose);
    void paintLabel(QPainter& painter, const WheelPalette& palette, const WheelOption& option, int i, int n,
                    double glow, double rotation);
    void paintHub(QPainter& painter, const WheelPalette& palette, double contentAlpha);
    void paintGlowingBody(QPainter& painter, const WheelPalette& colours, int i, int n, double glow, double rotation);
    FittedText fitted(const QString& text, double size, double floor, QFont::Weight weight, double kern,
                      double maxWidth, const QPaintDevice* device);
    const WheelPalette& palette() const;

    WheelMode mode_ = WheelMode::convert;
    WheelOptions options_;
    std::string summary_;
    int page_ = 0;
    int pageCount_ = 1;
    Qt::KeyboardModifiers lastFlags_;
    std::optional<int> hovered_;
    std::vector<double> glow_;
    double appear_ = 1;
    double appearTarget_ = 1;
    std::optional<Outgoing> outgoing_;
    double transition_ = 1;
    double pillWidth_ = 0;
    double pillTarget_ = 0;
    double dotPos_ = 0;
    std::optional<bool> dark_;

    Clock clock_;
    QTimer timer_;
    double lastTick_ = 0;
    double nextTick_ = 0;

    WheelCache cache_;
    QImage layer_;
};
