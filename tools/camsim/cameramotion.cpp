#include "tools/camsim/cameramotion.h"

#include <algorithm>
#include <cmath>

CameraModel CameraModel::r520()
{
    CameraModel model;
    model.name = "R520";
    model.panUnitsPerDegree = 38390.0 / 360.0;
    model.panTopDegreesPerSecond = 40;
    model.tiltTopDegreesPerSecond = 30;
    return model;
}

CameraModel CameraModel::p310()
{
    CameraModel model;
    model.name = "P310";
    model.panTopDegreesPerSecond = 36;
    model.tiltTopDegreesPerSecond = 27;
    model.zoomFullTravelSeconds = 4;
    return model;
}

namespace {
int32_t unitsOf(double degrees, double unitsPerDegree)
{
    return int32_t(std::lround(degrees * unitsPerDegree));
}
} // namespace

CameraMotion::CameraMotion(const CameraModel &model, double speedFactor)
    : cameraModel(model)
    , factor(speedFactor > 0 ? speedFactor : 1.0)
    , pan(unitsOf(-PanLimitDegrees, model.panUnitsPerDegree),
          unitsOf(PanLimitDegrees, model.panUnitsPerDegree), 0)
    , tilt(unitsOf(TiltDownDegrees, model.tiltUnitsPerDegree),
           unitsOf(TiltUpDegrees, model.tiltUnitsPerDegree), 0)
    , zoom(0, ZoomMaximum, 0)
    , focus(FocusMinimum, FocusMaximum, FocusMinimum)
{
}

double CameraMotion::panUnitsPerSecond(int speed) const
{
    const double degreesPerSecond =
        cameraModel.panTopDegreesPerSecond * std::clamp(speed, 1, 18) / 18.0;
    return degreesPerSecond * cameraModel.panUnitsPerDegree * factor;
}

double CameraMotion::tiltUnitsPerSecond(int speed) const
{
    const double degreesPerSecond =
        cameraModel.tiltTopDegreesPerSecond * std::clamp(speed, 1, 18) / 18.0;
    return degreesPerSecond * cameraModel.tiltUnitsPerDegree * factor;
}

double CameraMotion::driveUnitsPerSecond(const MotionAxis &axis, double fullTravelSeconds,
                                         int speed, double factor)
{
    const double range = axis.maximum() - axis.minimum();
    return range / fullTravelSeconds * (std::clamp(speed, 0, 7) + 1) / 8.0 * factor;
}

void CameraMotion::drive(MotionAxis &axis, int direction, double unitsPerSecond,
                         Clock::time_point now)
{
    if (direction == 0)
        axis.stop(now);
    else
        axis.moveTo(direction > 0 ? axis.maximum() : axis.minimum(), unitsPerSecond, now);
}

CameraMotion::Clock::time_point CameraMotion::panTiltTo(uint16_t panTarget, uint16_t tiltTarget,
                                                        int panSpeed, int tiltSpeed,
                                                        Clock::time_point now)
{
    const auto panArrival = pan.moveTo(signedUnits(panTarget), panUnitsPerSecond(panSpeed), now);
    const auto tiltArrival =
        tilt.moveTo(signedUnits(tiltTarget), tiltUnitsPerSecond(tiltSpeed), now);
    return std::max(panArrival, tiltArrival);
}

CameraMotion::Clock::time_point CameraMotion::panTiltBy(int32_t panStep, int32_t tiltStep,
                                                        int panSpeed, int tiltSpeed,
                                                        Clock::time_point now)
{
    const auto panArrival =
        pan.moveTo(pan.position(now) + panStep, panUnitsPerSecond(panSpeed), now);
    const auto tiltArrival =
        tilt.moveTo(tilt.position(now) + tiltStep, tiltUnitsPerSecond(tiltSpeed), now);
    return std::max(panArrival, tiltArrival);
}

void CameraMotion::panTiltDrive(int panDirection, int tiltDirection, int panSpeed, int tiltSpeed,
                                Clock::time_point now)
{
    drive(pan, panDirection, panUnitsPerSecond(panSpeed), now);
    drive(tilt, tiltDirection, tiltUnitsPerSecond(tiltSpeed), now);
}

void CameraMotion::panTiltStop(Clock::time_point now)
{
    pan.stop(now);
    tilt.stop(now);
}

void CameraMotion::zoomDrive(int direction, int speed, Clock::time_point now)
{
    drive(zoom, direction,
          driveUnitsPerSecond(zoom, cameraModel.zoomFullTravelSeconds, speed, factor), now);
}

void CameraMotion::focusDrive(int direction, int speed, Clock::time_point now)
{
    drive(focus, direction,
          driveUnitsPerSecond(focus, cameraModel.focusFullTravelSeconds, speed, factor), now);
}

CameraMotion::Clock::time_point CameraMotion::zoomTo(uint16_t target, Clock::time_point now)
{
    return zoom.moveTo(
        target, driveUnitsPerSecond(zoom, cameraModel.zoomFullTravelSeconds, 7, factor), now);
}

CameraMotion::Clock::time_point CameraMotion::focusTo(uint16_t target, Clock::time_point now)
{
    return focus.moveTo(
        target, driveUnitsPerSecond(focus, cameraModel.focusFullTravelSeconds, 7, factor), now);
}

void CameraMotion::placeAt(const Units &units)
{
    pan = MotionAxis(pan.minimum(), pan.maximum(), signedUnits(units.pan));
    tilt = MotionAxis(tilt.minimum(), tilt.maximum(), signedUnits(units.tilt));
    zoom = MotionAxis(zoom.minimum(), zoom.maximum(), units.zoom);
    focus = MotionAxis(focus.minimum(), focus.maximum(), units.focus);
}

CameraMotion::Units CameraMotion::position(Clock::time_point now) const
{
    Units units;
    units.pan = uint16_t(pan.position(now));
    units.tilt = uint16_t(tilt.position(now));
    units.zoom = uint16_t(zoom.position(now));
    units.focus = uint16_t(focus.position(now));
    return units;
}

bool CameraMotion::panTiltMoving(Clock::time_point now) const
{
    return pan.isMoving(now) || tilt.isMoving(now);
}

CamSim::ViewState CameraMotion::view(Clock::time_point now) const
{
    CamSim::ViewState view;
    view.panDegrees = pan.position(now) / cameraModel.panUnitsPerDegree;
    view.tiltDegrees = tilt.position(now) / cameraModel.tiltUnitsPerDegree;
    const double zoomShare = double(zoom.position(now)) / ZoomMaximum;
    view.fieldOfViewDegrees = WideFieldOfView * std::pow(1.0 / OpticalZoom, zoomShare);
    return view;
}

CameraMotion::Clock::duration CameraMotion::panTiltTravelTime(Units from, Units to, int speed) const
{
    const int64_t panDistance = int64_t(signedUnits(to.pan)) - signedUnits(from.pan);
    const int64_t tiltDistance = int64_t(signedUnits(to.tilt)) - signedUnits(from.tilt);
    return std::max(MotionAxis::travelTime(panDistance, panUnitsPerSecond(speed)),
                    MotionAxis::travelTime(tiltDistance, tiltUnitsPerSecond(speed)));
}
