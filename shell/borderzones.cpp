#include "shell/borderzones.h"

namespace BorderZones {

namespace {

// An edge dragged this close to the far side of the desktop could no longer be grabbed.
constexpr int reachableMargin = 50;

bool within(int value, int low, int high)
{
    return low <= value && value <= high;
}

} // namespace

Zone hitZone(const QRect &geometry, const QPoint &globalPos, int border)
{
    const int x = geometry.x(), y = geometry.y();
    const int w = geometry.width(), h = geometry.height();
    const bool left = within(globalPos.x(), x, x + border);
    const bool right = within(globalPos.x(), x + w - border, x + w);
    const bool top = within(globalPos.y(), y, y + border);
    const bool bottom = within(globalPos.y(), y + h - border, y + h);

    if (top && left)
        return Zone::TopLeft;
    if (top && right)
        return Zone::TopRight;
    if (bottom && left)
        return Zone::BottomLeft;
    if (top)
        return Zone::Top;
    if (left)
        return Zone::Left;
    if (right)
        return Zone::Right;
    if (bottom)
        return Zone::Bottom;
    return Zone::None;
}

Edges edgesOf(Zone zone)
{
    switch (zone) {
    case Zone::TopLeft:
        return {true, true, false, false};
    case Zone::TopRight:
        return {true, false, true, false};
    case Zone::BottomLeft:
        return {false, true, false, true};
    case Zone::Top:
        return {true, false, false, false};
    case Zone::Left:
        return {false, true, false, false};
    case Zone::Right:
        return {false, false, true, false};
    case Zone::Bottom:
        return {false, false, false, true};
    case Zone::None:
        break;
    }
    return {};
}

Qt::CursorShape cursorOf(Zone zone)
{
    switch (zone) {
    case Zone::TopLeft:
        return Qt::SizeFDiagCursor;
    case Zone::TopRight:
    case Zone::BottomLeft:
        return Qt::SizeBDiagCursor;
    case Zone::Top:
    case Zone::Bottom:
        return Qt::SizeVerCursor;
    case Zone::Left:
    case Zone::Right:
        return Qt::SizeHorCursor;
    case Zone::None:
        break;
    }
    return Qt::ArrowCursor;
}

std::optional<QRect> dragGeometry(const Edges &edges, const QRect &start, const QPoint &pointer,
                                  const QSize &desktop)
{
    const int top = pointer.y(), left = pointer.x();
    const int width = pointer.x() - start.x(), height = pointer.y() - start.y();
    const bool topOk = top >= 1, leftOk = left >= 1;
    const bool topReachable = top < desktop.height() - reachableMargin;
    const bool leftReachable = left < desktop.width() - reachableMargin;

    // setTop/setLeft keep the opposite edge, setWidth/setHeight keep the top-left corner.
    QRect r = start;
    bool ok = false;
    if (edges.top && edges.right) {
        r.setTop(top);
        r.setWidth(width);
        ok = width >= 1 && topOk && topReachable;
    } else if (edges.top && edges.left) {
        r.setTopLeft(pointer);
        ok = topOk && leftOk;
    } else if (edges.bottom && edges.left) {
        r.setLeft(left);
        r.setHeight(height);
        ok = height >= 1 && leftOk;
    } else if (edges.top) {
        r.setTop(top);
        ok = topOk && topReachable;
    } else if (edges.left) {
        r.setLeft(left);
        ok = leftOk && leftReachable;
    } else if (edges.right) {
        r.setWidth(width);
        ok = width >= 1;
    } else if (edges.bottom) {
        r.setHeight(height);
        ok = height >= 1;
    }
    return ok ? std::optional<QRect>(r) : std::nullopt;
}

} // namespace BorderZones
