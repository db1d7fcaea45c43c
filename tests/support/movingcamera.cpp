#include "support/movingcamera.h"

#include "tools/camsim/viscawire.h"

#include <algorithm>
#include <cstdlib>
#include <map>

using Wire = ViscaWire::Kind;

ViscaRequest ViscaRequest::decode(const LoopbackCamera::Datagram &datagram)
{
    static const std::map<Wire, Kind> kinds = {
        {Wire::PanTiltAbsolute, PanTiltAbs}, {Wire::PanTiltInquiry, PanTiltInq},
        {Wire::FocusInquiry, FocusInq},      {Wire::ZoomInquiry, ZoomInq},
        {Wire::FocusDirect, FocusDirect},    {Wire::ZoomDirect, ZoomDirect},
        {Wire::FocusDrive, Focus},           {Wire::ZoomDrive, Zoom}};
    const ViscaWire::Request wire = ViscaWire::parse(datagram.bytes);
    const auto found = kinds.find(wire.kind);
    Kind kind = found == kinds.end() ? Other : found->second;
    // Only the stop with both speeds 0 is the program's pan-tilt stop.
    if (wire.kind == Wire::PanTiltDrive && wire.panDirection == 3 && wire.tiltDirection == 3 &&
        wire.panSpeed == 0 && wire.tiltSpeed == 0)
        kind = PanTiltStop;
    const uint16_t value = kind == Focus || kind == Zoom ? wire.drive : wire.first;
    return {kind,           wire.sequence, datagram.arrival, wire.panSpeed,
            wire.tiltSpeed, wire.first,    wire.second,      value};
}

std::vector<ViscaRequest> ViscaRequest::decodeAll(const std::vector<LoopbackCamera::Datagram> &log)
{
    std::vector<ViscaRequest> requests;
    requests.reserve(log.size());
    for (const LoopbackCamera::Datagram &datagram : log)
        requests.push_back(decode(datagram));
    return requests;
}

MovingCamera::MovingCamera(const std::string &address, double unitsPerMsPerSpeed)
    : pace(unitsPerMsPerSpeed)
    , camera(address)
{
    camera.setResponder([this](const LoopbackCamera::Datagram &d) { return respond(d); });
}

void MovingCamera::placeAt(uint16_t newPan, uint16_t newTilt, uint16_t newFocus, uint16_t newZoom)
{
    std::lock_guard<std::mutex> lock(mutex);
    // Pan and tilt are signed on the wire: 0xFFFE is 2 units left of 0.
    pan = MotionAxis(INT16_MIN, INT16_MAX, int16_t(newPan));
    tilt = MotionAxis(INT16_MIN, INT16_MAX, int16_t(newTilt));
    focus = newFocus;
    zoom = newZoom;
}

void MovingCamera::setShortfall(int units)
{
    std::lock_guard<std::mutex> lock(mutex);
    shortfall = units;
}

void MovingCamera::setPanTiltSilent(bool silent)
{
    std::lock_guard<std::mutex> lock(mutex);
    panTiltSilent = silent;
}

std::vector<MovingCamera::Move> MovingCamera::moves() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return moveLog;
}

int32_t MovingCamera::stopPoint(int32_t from, int32_t target) const
{
    if (std::abs(target - from) <= shortfall)
        return from;
    return target > from ? target - shortfall : target + shortfall;
}

std::chrono::milliseconds MovingCamera::startMove(const ViscaRequest &request)
{
    const Clock::time_point at = request.arrival;
    // A camera's slowest speed still moves it.
    const double unitsPerSecond = 1000 * pace * std::max(request.panSpeed, 1);
    const int32_t panTarget = stopPoint(pan.position(at), int16_t(request.pan));
    const int32_t tiltTarget = stopPoint(tilt.position(at), int16_t(request.tilt));
    const Clock::time_point arrival = std::max(pan.moveTo(panTarget, unitsPerSecond, at),
                                               tilt.moveTo(tiltTarget, unitsPerSecond, at));
    moveLog.push_back({request.sequence, at, arrival, request.panSpeed, request.pan, request.tilt});
    return std::chrono::duration_cast<std::chrono::milliseconds>(arrival - at);
}

std::vector<LoopbackCamera::Reply> MovingCamera::respond(const LoopbackCamera::Datagram &datagram)
{
    const ViscaRequest request = ViscaRequest::decode(datagram);
    const Clock::time_point at = datagram.arrival;
    std::lock_guard<std::mutex> lock(mutex);
    switch (request.kind) {
    case ViscaRequest::PanTiltInq:
        if (panTiltSilent)
            return {};
        return {LoopbackCamera::panTiltPosition(datagram, uint16_t(pan.position(at)),
                                                uint16_t(tilt.position(at)))};
    case ViscaRequest::FocusInq:
        return {LoopbackCamera::valuePosition(datagram, focus)};
    case ViscaRequest::ZoomInq:
        return {LoopbackCamera::valuePosition(datagram, zoom)};
    case ViscaRequest::PanTiltAbs:
        // As real cameras do: acknowledged at once, completed on arrival.
        return {LoopbackCamera::acknowledge(datagram),
                LoopbackCamera::completion(datagram, startMove(request))};
    case ViscaRequest::PanTiltStop:
        pan.stop(at);
        tilt.stop(at);
        break;
    case ViscaRequest::FocusDirect:
        focus = request.value;
        break;
    case ViscaRequest::ZoomDirect:
        zoom = request.value;
        break;
    default:
        break;
    }
    return {LoopbackCamera::acknowledge(datagram), LoopbackCamera::completion(datagram)};
}
