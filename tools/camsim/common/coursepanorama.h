#pragma once

#include <QImage>

// The wide picture every simulated camera looks at: a race course seen from the top of the
// stands, all the way round (pan -180..180 degrees, tilt -45..45 degrees), drawn once.
// Cameras crop it by their pan and tilt and scale it by their zoom.
class CoursePanorama
{
public:
    static constexpr int PixelsPerDegree = 12;
    static constexpr double TiltTopDegrees = 45;
    static constexpr double TiltSpanDegrees = 90;
    static constexpr int Width = 360 * PixelsPerDegree;
    static constexpr int Height = int(TiltSpanDegrees) * PixelsPerDegree;
    static constexpr int MarkerCount = 12; // numbered boards round the course

    // Drawn on first use; safe to call from any thread.
    static const QImage &picture();
    // A fresh drawing, in Format_RGB32 (B, G, R, X in memory on little-endian machines).
    static QImage render();

    static double columnOfPan(double panDegrees) { return (panDegrees + 180.0) * PixelsPerDegree; }
    static double rowOfTilt(double tiltDegrees)
    {
        return (TiltTopDegrees - tiltDegrees) * PixelsPerDegree;
    }
    // Where the camera must look to see marker `number` (1..MarkerCount) in the middle.
    static void markerDirection(int number, double &panDegrees, double &tiltDegrees);
};
