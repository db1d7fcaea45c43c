#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>
#include <optional>

// Geometry of resizing a frameless window by its borders, kept free of widgets so it can be
// checked on its own.
namespace BorderZones {

enum class Zone { None, TopLeft, TopRight, BottomLeft, Top, Left, Right, Bottom };

struct Edges
{
    bool top = false;
    bool left = false;
    bool right = false;
    bool bottom = false;

    bool any() const { return top || left || right || bottom; }
};

// Which band of the window the pointer is in; corners win over edges, and there is
// deliberately no bottom-right corner (it reads as the right edge).
Zone hitZone(const QRect &geometry, const QPoint &globalPos, int border);

Edges edgesOf(Zone zone);
Qt::CursorShape cursorOf(Zone zone);

// The geometry a border drag asks for, or nothing when the move would push an edge off the
// desktop or collapse the window.
std::optional<QRect> dragGeometry(const Edges &edges, const QRect &start, const QPoint &pointer,
                                  const QSize &desktop);

} // namespace BorderZones
