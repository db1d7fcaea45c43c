#include "automation/racecourse.h"

#include "shell/palette.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

RaceCourse::RaceCourse(QWidget *parent)
    : QWidget(parent)
    , labelFont(QString::fromUtf8(Palette::fontFamily), 8, QFont::Bold, false)
    , barBrush(QColor(Palette::track))
    , reachedBrush(QColor(Palette::reached))
    , legBrush(QColor(Palette::leg))
    , labelBrush(QColor(Palette::white))
    , openBrush(QColor(Palette::panel))
{
}

void RaceCourse::setWayPointCount(int16_t count)
{
    if (count == wayPointCount)
        return;
    wayPointCount = std::min<int16_t>(count, MaxCells);
    update();
}

// Every cell, not only the drawn ones: a mark left above a count lowered during a run would
// show again once the count is raised.
void RaceCourse::clearAllCells()
{
    for (Cell &cell : cells)
        cell.reached = false;
}

void RaceCourse::clearReached()
{
    clearAllCells();
    update();
}

void RaceCourse::markWayPoint(int n)
{
    if (n < 1 || n > MaxCells)
        return;
    clearAllCells();
    cells[n - 1].reached = true;
    update();
}

void RaceCourse::markWayPoints(int a, int b)
{
    clearAllCells();
    for (int n : {a, b}) {
        if (n >= 1 && n <= MaxCells)
            cells[n - 1].reached = true;
    }
    update();
}

void RaceCourse::resizeEvent(QResizeEvent *event)
{
    drawArea = QRectF(0, 0, width() - 10, height() - 10);
    QWidget::resizeEvent(event);
}

RaceCourse::Geometry RaceCourse::geometry(int n) const
{
    const double w = drawArea.width();
    const double h = drawArea.height();
    Geometry g;
    g.barWidth = int(int((h / 2 <= w ? h / 2 : w) - 104.0) / 1.5);
    g.avail = int(h - 78.0);
    g.innerWidth = g.barWidth - 6;
    g.barLeft = int16_t(int(w / 2 - g.barWidth / 2));
    // A script can carry any count; with none there is nothing to divide among.
    if (n > 0) {
        g.step = g.avail / n;
        g.cellHeight = (g.avail - 3 * (n + 1)) / n;
    }
    return g;
}

void RaceCourse::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Qt 5.15 folds high-quality antialiasing into the plain hint.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const int n = wayPointCount;
    const Geometry g = geometry(n);
    drawBar(painter, g, n);
    if (n <= 0)
        return;
    if (drawOpenCells(painter, g, n) >= 2)
        drawLegs(painter, g, n);
    drawReachedCells(painter, g, n);
    drawGivenUp(painter, g, n);
    drawNumbers(painter, n);
    drawHolding(painter);
}

void RaceCourse::setHolding(int n, const QStringList &cameras)
{
    holdingCell = cameras.isEmpty() || n < 1 || n > MaxCells ? 0 : n;
    holdingLabel.clear();
    if (holdingCell) {
        holdingLabel = cameras.first();
        if (cameras.size() > 1)
            holdingLabel += tr(" +%1").arg(cameras.size() - 1);
    }
    update();
}

// Beside the bar, level with the cell, so the operator sees whom the run is waiting for.
void RaceCourse::drawHolding(QPainter &painter) const
{
    if (!holdingCell || holdingCell > wayPointCount)
        return;
    const Cell &cell = cells[size_t(holdingCell - 1)];
    painter.save();
    painter.setFont(labelFont);
    painter.setPen(QColor(Palette::waiting));
    const QRect area(0, cell.y - 2, width(), 22);
    painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(holdingLabel, Qt::ElideRight, width() / 2));
    painter.restore();
}

void RaceCourse::markGivenUp(int n, const QString &camera)
{
    if (n < 1 || n > MaxCells || givenUp[size_t(n - 1)].contains(camera))
        return;
    givenUp[size_t(n - 1)] << camera;
    updateGivenUpToolTip();
    update();
}

void RaceCourse::clearGivenUp()
{
    for (QStringList &names : givenUp)
        names.clear();
    updateGivenUpToolTip();
    update();
}

QStringList RaceCourse::givenUpAt(int n) const
{
    return n >= 1 && n <= MaxCells ? givenUp[size_t(n - 1)] : QStringList();
}

void RaceCourse::updateGivenUpToolTip()
{
    QStringList lines;
    for (int i = 0; i < MaxCells; ++i) {
        if (!givenUp[size_t(i)].isEmpty())
            lines << tr("Waypoint %1: %2 did not arrive")
                         .arg(i + 1)
                         .arg(givenUp[size_t(i)].join(", "));
    }
    setToolTip(lines.join('\n'));
}

void RaceCourse::drawGivenUp(QPainter &painter, const Geometry &g, int n) const
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(Palette::fault), 3));
    for (int i = 0; i < n; ++i) {
        if (!givenUp[size_t(i)].isEmpty())
            painter.drawRect(openCellRect(g, i));
    }
    painter.restore();
}

void RaceCourse::drawBar(QPainter &painter, const Geometry &g, int n) const
{
    const int height = n > 0 ? n * g.cellHeight + 3 * (n + 1) + 3 : g.avail;
    QPainterPath path;
    path.addRect(QRectF(QRect(g.barLeft, 60, g.barWidth, height)));
    painter.setBrush(barBrush);
    painter.drawPath(path.simplified());
}

// Cell i (from 0) as drawn open, and as framed when a camera was given up there.
QRect RaceCourse::openCellRect(const Geometry &g, int i)
{
    return QRect(g.barLeft + 3, 63 + i * g.step, g.innerWidth, g.cellHeight);
}

// Also anchors every cell's number; returns how many cells are reached.
int RaceCourse::drawOpenCells(QPainter &painter, const Geometry &g, int n)
{
    QPainterPath path;
    int reached = 0;
    for (int i = 0; i < n; ++i) {
        const QRect cell = openCellRect(g, i);
        if (!cells[i].reached)
            path.addRect(QRectF(cell));
        else
            ++reached;
        cells[i].x = g.innerWidth / 2 + g.barLeft;
        cells[i].y = cell.y() + g.cellHeight / 2 - 12;
    }
    painter.setPen(QColor(Palette::black));
    painter.setBrush(openBrush);
    painter.drawPath(path.simplified());
    return reached;
}

void RaceCourse::drawLegs(QPainter &painter, const Geometry &g, int n) const
{
    QPainterPath path;
    for (int i = 0; i < n; ++i) {
        const int next = i + 1 < n ? i + 1 : 0;
        if (cells[i].reached && cells[next].reached)
            path.addRect(QRectF(QRect(g.barLeft + 3, 60 + (i + 1) * g.step, g.innerWidth, 6)));
    }
    painter.setPen(legBrush.color());
    painter.setBrush(legBrush);
    painter.drawPath(path.simplified());
}

void RaceCourse::drawReachedCells(QPainter &painter, const Geometry &g, int n) const
{
    QPainterPath path;
    for (int i = 0; i < n; ++i) {
        if (cells[i].reached)
            path.addRect(QRectF(QRect(g.barLeft + 3, 66 + i * g.step, g.innerWidth, g.cellHeight)));
    }
    painter.setPen(reachedBrush.color());
    painter.setBrush(reachedBrush);
    painter.drawPath(path.simplified());
}

void RaceCourse::drawNumbers(QPainter &painter, int n) const
{
    QPainterPath path;
    for (int i = 0; i < n; ++i)
        path.addText(QPointF(cells[i].x, cells[i].y + 16.0), labelFont, QString::number(i + 1));
    painter.setPen(labelBrush.color());
    painter.setBrush(labelBrush);
    painter.drawPath(path.simplified());
}
