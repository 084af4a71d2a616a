#pragma once
#include "core/Paths.h"

#include <QObject>
#include <QPoint>

#include <optional>
#include <vector>

class ShelfView;

// A small card that floats above every window and holds files for a while: they are dragged
// out of it to anywhere, and more can be dropped on it. Several shelves may be open; each
// lives until its close mark is clicked or its last file has been moved away.
class Shelf : public QObject {
    Q_OBJECT
public:
    // Shows a new shelf beside near (screen coordinates), or beside the pointer.
    static Shelf* open(const Paths& urls, std::optional<QPoint> near = std::nullopt);
    static const std::vector<Shelf*>& live();
    // Where a shelf opens for the point: right of it, kept 8 points inside the screen.
    static QPoint placement(QPoint near, const QRect& visible);

    ShelfView* view() const { return view_; }
    // Fades the shelf out and releases it; its files are never touched.
    void close();

private:
    Shelf(const Paths& urls, QPoint near);
    ~Shelf() override;

    ShelfView* view_;
    bool closing_ = false;
};
