#pragma once

#include <QBrush>
#include <QFont>
#include <QRectF>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>

// The race course as a vertical bar of waypoint cells, numbered from 1 at the top; a run marks
// the waypoint being played, or the leg between two waypoints. Paints only, takes no input.
class RaceCourse : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxCells = 100;

    explicit RaceCourse(QWidget *parent = nullptr);

    void setWayPointCount(int16_t count);
    void clearReached();
    // Marks n alone; a number outside 1..100 leaves every mark as it was.
    void markWayPoint(int n);
    // Marks a and b (each only when in 1..100), clearing the others.
    void markWayPoints(int a, int b);

    // A camera the run went on without at waypoint n: the cell is framed in red and the
    // widget's tooltip names the cameras, until clearGivenUp().
    void markGivenUp(int n, const QString &camera);
    void clearGivenUp();
    // The cameras holding waypoint n during a run, written beside its cell; empty clears.
    void setHolding(int n, const QStringList &cameras);
    QString holdingText() const { return holdingLabel; }
    QStringList givenUpAt(int n) const;

    int16_t count() const { return wayPointCount; }
    bool isReached(int n) const { return n >= 1 && n <= MaxCells && cells[n - 1].reached; }
    // Where the number of waypoint n was anchored by the last paint.
    QPoint numberAnchor(int n) const { return {cells[n - 1].x, cells[n - 1].y}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Cell
    {
        int32_t x = 0;
        int32_t y = 0;
        bool reached = false;
    };

    // Sizes of one paint, all derived from the draw area and the cell count.
    struct Geometry
    {
        int barWidth = 0;
        int avail = 0;
        int step = 0;
        int innerWidth = 0;
        int cellHeight = 0;
        int16_t barLeft = 0;
    };

    Geometry geometry(int n) const;
    static QRect openCellRect(const Geometry &g, int i);
    void clearAllCells();
    void drawBar(QPainter &painter, const Geometry &g, int n) const;
    int drawOpenCells(QPainter &painter, const Geometry &g, int n);
    void drawLegs(QPainter &painter, const Geometry &g, int n) const;
    void drawReachedCells(QPainter &painter, const Geometry &g, int n) const;
    void drawNumbers(QPainter &painter, int n) const;
    void drawGivenUp(QPainter &painter, const Geometry &g, int n) const;
    void updateGivenUpToolTip();
    void drawHolding(QPainter &painter) const;

    int16_t wayPointCount = 15;
    QRectF drawArea;
    QFont labelFont;
    QBrush barBrush;
    QBrush reachedBrush;
    QBrush legBrush;
    QBrush labelBrush;
    QBrush openBrush;
    std::array<Cell, MaxCells> cells{};
    std::array<QStringList, MaxCells> givenUp;
    int holdingCell = 0;
    QString holdingLabel;
};
