#pragma once

#include <cstdint>
#include <string>

#include "tools/camsim/common/camsimprotocol.h"
#include "tools/camsim/motionaxis.h"

// How a camera model moves and how it counts. Pan and tilt speeds 1..18 scale the top
// speed linearly; zoom and focus drive speeds 0..7 scale their full-travel time.
struct CameraModel
{
    std::string name;
    double panUnitsPerDegree = 1658.0 / 175.0;
    double tiltUnitsPerDegree = 374.0 / 30.0;
    double panTopDegreesPerSecond = 36; // broadcast heads pan smoothly, not at their limit
    double tiltTopDegreesPerSecond = 27;
    double zoomFullTravelSeconds = 3; // at drive speed 7, and for direct moves
    double focusFullTravelSeconds = 2;

    // Fine pan units, fast heads.
    static CameraModel r520();
    // Coarser pan units, slower heads.
    static CameraModel p310();
};

// The four axes of one camera and the speeds its commands give them. A speed factor below 1
// makes the whole camera slower, as older heads in a mixed set are.
class CameraMotion
{
public:
    using Clock = MotionAxis::Clock;

    static constexpr double PanLimitDegrees = 170;
    static constexpr double TiltDownDegrees = -30;
    static constexpr double TiltUpDegrees = 90;
    static constexpr int32_t ZoomMaximum = 0x4000;
    static constexpr int32_t FocusMinimum = 0x1000;
    static constexpr int32_t FocusMaximum = 0xF000;
    static constexpr double WideFieldOfView = 62;
    static constexpr double OpticalZoom = 12;

    // As a camera reports them: 16-bit, negative pan and tilt as 0x8000 and above.
    struct Units
    {
        uint16_t pan = 0;
        uint16_t tilt = 0;
        uint16_t zoom = 0;
        uint16_t focus = 0;
    };

    CameraMotion(const CameraModel &model, double speedFactor);

    // Targets are 16-bit camera units; pan and tilt are read as signed.
    Clock::time_point panTiltTo(uint16_t pan, uint16_t tilt, int panSpeed, int tiltSpeed,
                                Clock::time_point now);
    Clock::time_point panTiltBy(int32_t panStep, int32_t tiltStep, int panSpeed, int tiltSpeed,
                                Clock::time_point now);
    // Directions -1, 0 or +1 (left/right, down/up); runs until stopped or the end of travel.
    void panTiltDrive(int panDirection, int tiltDirection, int panSpeed, int tiltSpeed,
                      Clock::time_point now);
    void panTiltStop(Clock::time_point now);
    // Direction -1 wide (near for focus), +1 tele (far), 0 stop; speed 0..7.
    void zoomDrive(int direction, int speed, Clock::time_point now);
    void focusDrive(int direction, int speed, Clock::time_point now);
    Clock::time_point zoomTo(uint16_t zoom, Clock::time_point now);
    Clock::time_point focusTo(uint16_t focus, Clock::time_point now);

    void placeAt(const Units &units);
    Units position(Clock::time_point now) const;
    bool panTiltMoving(Clock::time_point now) const;
    CamSim::ViewState view(Clock::time_point now) const;
    const CameraModel &model() const { return cameraModel; }

    // What a pan-tilt move between two positions takes at one speed for both axes.
    Clock::duration panTiltTravelTime(Units from, Units to, int speed) const;

    static int32_t signedUnits(uint16_t value) { return int16_t(value); }

private:
    double panUnitsPerSecond(int speed) const;
    double tiltUnitsPerSecond(int speed) const;
    static double driveUnitsPerSecond(const MotionAxis &axis, double fullTravelSeconds, int speed,
                                      double factor);
    static void drive(MotionAxis &axis, int direction, double unitsPerSecond,
                      Clock::time_point now);

    CameraModel cameraModel;
    double factor;
    MotionAxis pan;
    MotionAxis tilt;
    MotionAxis zoom;
    MotionAxis focus;
};
