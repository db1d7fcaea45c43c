#include "tools/camsim/common/coursepanorama.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace {

// The course as seen from above, in metres: the camera stands at the origin, 15 m up, looking
// along +y across the home straight. The track is a stadium: two 400 m straights joined by
// half circles, 25 m wide.
constexpr double Pi = 3.14159265358979323846;
constexpr double CameraHeight = 15;
constexpr double HalfStraight = 200;
constexpr double InnerRadius = 150;
constexpr double TrackWidth = 25;
constexpr double BendCentreY = 30 + TrackWidth + InnerRadius; // home straight 30 m away
constexpr double FurlongMetres = 201.168;

struct Ground
{
    double x;
    double y;
};

double degrees(double radians)
{
    return radians * 180.0 / Pi;
}

QPointF project(double x, double y, double z = 0)
{
    const double pan = degrees(std::atan2(x, y));
    const double tilt = degrees(std::atan2(z - CameraHeight, std::hypot(x, y)));
    return {CoursePanorama::columnOfPan(pan), CoursePanorama::rowOfTilt(tilt)};
}

double perimeter(double radius)
{
    return 4 * HalfStraight + 2 * Pi * radius;
}

// The point `s` metres along a stadium of the given bend radius, starting at the left end of
// the home straight and running left to right in front of the camera.
Ground alongStadium(double s, double radius)
{
    const double straight = 2 * HalfStraight;
    const double bend = Pi * radius;
    s = std::fmod(std::fmod(s, perimeter(radius)) + perimeter(radius), perimeter(radius));
    if (s < straight)
        return {-HalfStraight + s, BendCentreY - radius};
    s -= straight;
    if (s < bend) {
        const double a = -Pi / 2 + s / radius;
        return {HalfStraight + radius * std::cos(a), BendCentreY + radius * std::sin(a)};
    }
    s -= bend;
    if (s < straight)
        return {HalfStraight - s, BendCentreY + radius};
    s -= straight;
    const double a = Pi / 2 + s / radius;
    return {-HalfStraight + radius * std::cos(a), BendCentreY + radius * std::sin(a)};
}

QPolygonF stadiumOutline(double radius, double z)
{
    QPolygonF outline;
    const double length = perimeter(radius);
    for (double s = 0; s < length; s += 4) {
        const Ground g = alongStadium(s, radius);
        outline << project(g.x, g.y, z);
    }
    return outline;
}

double pixelsPerMetre(double x, double y)
{
    return CoursePanorama::PixelsPerDegree * degrees(1.0) / std::hypot(x, y);
}

void drawSky(QPainter &p)
{
    const double horizon = CoursePanorama::rowOfTilt(0);
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(38, 92, 168));
    sky.setColorAt(1, QColor(178, 210, 236));
    p.fillRect(QRectF(0, 0, CoursePanorama::Width, horizon), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 252, 220));
    for (int i = 0; i < 14; ++i) {
        const double x = std::fmod(i * 331.0 + 97, CoursePanorama::Width);
        const double y = horizon * (0.25 + 0.5 * std::fmod(i * 0.37, 1.0));
        for (int puff = 0; puff < 4; ++puff)
            p.drawEllipse(QPointF(x + puff * 38, y - (puff % 2) * 14), 46, 20);
    }
}

void drawHills(QPainter &p)
{
    QPolygonF hills;
    const double horizon = CoursePanorama::rowOfTilt(0);
    hills << QPointF(0, horizon + 2);
    for (int x = 0; x <= CoursePanorama::Width; x += 8) {
        const double rise = 14 + 10 * std::sin(x * 0.0041) + 6 * std::sin(x * 0.0137 + 1.3);
        hills << QPointF(x, horizon - rise);
    }
    hills << QPointF(CoursePanorama::Width, horizon + 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 104, 86));
    p.drawPolygon(hills);
}

// Mown rings every 20 m of distance give the grass depth.
void drawGrass(QPainter &p)
{
    const double horizon = CoursePanorama::rowOfTilt(0);
    p.fillRect(QRectF(0, horizon, CoursePanorama::Width, CoursePanorama::Height - horizon),
               QColor(74, 140, 62));
    for (double d = 5; d < 3000; d += 40) {
        const double nearRow = CoursePanorama::rowOfTilt(-degrees(std::atan2(CameraHeight, d)));
        const double farRow = CoursePanorama::rowOfTilt(-degrees(std::atan2(CameraHeight, d + 20)));
        p.fillRect(QRectF(0, farRow, CoursePanorama::Width, nearRow - farRow), QColor(86, 156, 70));
    }
}

void drawTrack(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(176, 132, 88));
    p.drawPolygon(stadiumOutline(InnerRadius + TrackWidth, 0));
    p.setBrush(QColor(96, 166, 78));
    p.drawPolygon(stadiumOutline(InnerRadius, 0));
    p.setBrush(QColor(72, 126, 186)); // the infield lake
    QPolygonF lake;
    for (int i = 0; i < 72; ++i) {
        const double a = i * 2 * Pi / 72;
        lake << project(60 * std::cos(a), BendCentreY + 45 * std::sin(a));
    }
    p.drawPolygon(lake);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(250, 250, 250), 2.5));
    p.drawPolygon(stadiumOutline(InnerRadius, 1));
    p.drawPolygon(stadiumOutline(InnerRadius + TrackWidth, 1));
}

void drawFurlongPosts(QPainter &p)
{
    const double length = perimeter(InnerRadius);
    for (double s = 0; s < length; s += FurlongMetres) {
        const Ground g = alongStadium(s, InnerRadius - 1);
        const QPointF foot = project(g.x, g.y, 0);
        const QPointF top = project(g.x, g.y, 4);
        const double width = std::max(2.0, 0.4 * pixelsPerMetre(g.x, g.y));
        p.fillRect(QRectF(foot.x() - width / 2, top.y(), width, foot.y() - top.y()),
                   QColor(206, 32, 40));
        p.fillRect(QRectF(foot.x() - width, top.y() - width, 2 * width, 2 * width), Qt::white);
    }
}

// Seven-segment digits need no font, so the picture draws the same without a GUI.
void drawDigit(QPainter &p, const QRectF &box, int digit)
{
    static const unsigned char segments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                               0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const double t = box.width() * 0.2;
    const double w = box.width();
    const double h = box.height();
    const QRectF bars[7] = {{0, 0, w, t},          {w - t, 0, t, h / 2}, {w - t, h / 2, t, h / 2},
                            {0, h - t, w, t},      {0, h / 2, t, h / 2}, {0, 0, t, h / 2},
                            {0, (h - t) / 2, w, t}};
    for (int i = 0; i < 7; ++i) {
        if (segments[digit] & (1 << i))
            p.fillRect(bars[i].translated(box.topLeft()), QColor(20, 20, 24));
    }
}

void drawNumber(QPainter &p, const QRectF &board, int number)
{
    const std::string text = std::to_string(number);
    const double digitWidth = board.width() * 0.6 / double(text.size() + 1);
    const double gap = digitWidth * 0.5;
    double x = board.center().x() - (text.size() * (digitWidth + gap) - gap) / 2;
    for (char c : text) {
        drawDigit(p,
                  QRectF(x, board.top() + board.height() * 0.15, digitWidth, board.height() * 0.7),
                  c - '0');
        x += digitWidth + gap;
    }
}

Ground markerGround(int number)
{
    const double outer = InnerRadius + TrackWidth + 6;
    return alongStadium((number - 1) * perimeter(outer) / CoursePanorama::MarkerCount, outer);
}

void drawMarkers(QPainter &p)
{
    for (int number = 1; number <= CoursePanorama::MarkerCount; ++number) {
        const Ground g = markerGround(number);
        const double ppm = pixelsPerMetre(g.x, g.y);
        const QPointF centre = project(g.x, g.y, 5);
        const QPointF foot = project(g.x, g.y, 0);
        const QRectF board(centre.x() - 4 * ppm, centre.y() - 2.5 * ppm, 8 * ppm, 5 * ppm);
        p.fillRect(QRectF(board.left() + ppm, board.bottom(), 0.5 * ppm, foot.y() - board.bottom()),
                   QColor(60, 60, 60));
        p.fillRect(
            QRectF(board.right() - 1.5 * ppm, board.bottom(), 0.5 * ppm, foot.y() - board.bottom()),
            QColor(60, 60, 60));
        p.fillRect(board, QColor(246, 214, 48));
        p.setPen(QPen(QColor(20, 20, 24), std::max(1.0, 0.25 * ppm)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(board);
        drawNumber(p, board, number);
    }
}

void drawWinningPost(QPainter &p)
{
    const double x = 150;
    const double y = BendCentreY - InnerRadius - TrackWidth - 2;
    const double ppm = pixelsPerMetre(x, y);
    const QPointF foot = project(x, y, 0);
    const QPointF top = project(x, y, 6);
    p.fillRect(QRectF(foot.x() - 0.2 * ppm, top.y(), 0.4 * ppm, foot.y() - top.y()), Qt::white);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(206, 32, 40));
    p.drawEllipse(top, 1.2 * ppm, 1.2 * ppm);
    p.setBrush(Qt::white);
    p.drawEllipse(top, 0.6 * ppm, 0.6 * ppm);
}

// Behind the camera: the rest of the stands, roof and rows of seats.
void drawStands(QPainter &p)
{
    const double roofRow = CoursePanorama::rowOfTilt(28);
    const double baseRow = CoursePanorama::rowOfTilt(-44);
    for (const double fromPan : {-180.0, 100.0}) {
        const double left = CoursePanorama::columnOfPan(fromPan);
        const QRectF stand(left, roofRow, 80 * CoursePanorama::PixelsPerDegree, baseRow - roofRow);
        p.fillRect(stand, QColor(150, 150, 156));
        for (double row = roofRow + 60; row < baseRow; row += 26)
            p.fillRect(QRectF(stand.left(), row, stand.width(), 10), QColor(40, 78, 140));
        p.fillRect(QRectF(stand.left(), roofRow - 30, stand.width(), 30), QColor(220, 222, 226));
    }
}

} // namespace

const QImage &CoursePanorama::picture()
{
    static const QImage image = render();
    return image;
}

QImage CoursePanorama::render()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawSky(painter);
    drawHills(painter);
    drawGrass(painter);
    drawTrack(painter);
    drawFurlongPosts(painter);
    drawWinningPost(painter);
    drawMarkers(painter);
    drawStands(painter);
    painter.end();
    return image;
}

void CoursePanorama::markerDirection(int number, double &panDegrees, double &tiltDegrees)
{
    const Ground g = markerGround(number);
    panDegrees = degrees(std::atan2(g.x, g.y));
    tiltDegrees = degrees(std::atan2(5 - CameraHeight, std::hypot(g.x, g.y)));
}
