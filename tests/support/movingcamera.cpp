#include "support/movingcamera.h"

#include <algorithm>
#include <cmath>

namespace {

bool bodyIs(const std::vector<uint8_t> &bytes, uint8_t kind, std::initializer_list<uint8_t> body)
{
    return bytes.size() >= 10 + body.size() && bytes[9] == kind &&
           std::equal(body.begin(), body.end(), bytes.begin() + 10);
}

uint16_t nibbleValue(const std::vector<uint8_t> &bytes, size_t at)
{
    if (bytes.size() < at + 4)
        return 0;
    return uint16_t((bytes[at] & 0x0F) << 12 | (bytes[at + 1] & 0x0F) << 8 |
                    (bytes[at + 2] & 0x0F) << 4 | (bytes[at + 3] & 0x0F));
}

// Pan and tilt are signed on the wire: 0xFFFE is 2 units left of 0.
double signedUnits(uint16_t value)
{
    return double(int16_t(value));
}

} // namespace

ViscaRequest ViscaRequest::decode(const LoopbackCamera::Datagram &datagram)
{
    const std::vector<uint8_t> &b = datagram.bytes;
    ViscaRequest request;
    request.sequence = datagram.sequence();
    request.arrival = datagram.arrival;
    if (bodyIs(b, 0x01, {0x06, 0x02}) && b.size() >= 23) {
        request.kind = PanTiltAbs;
        request.panSpeed = b[12];
        request.tiltSpeed = b[13];
        request.pan = nibbleValue(b, 14);
        request.tilt = nibbleValue(b, 18);
    } else if (bodyIs(b, 0x09, {0x06, 0x12})) {
        request.kind = PanTiltInq;
    } else if (bodyIs(b, 0x09, {0x04, 0x48})) {
        request.kind = FocusInq;
    } else if (bodyIs(b, 0x09, {0x04, 0x47})) {
        request.kind = ZoomInq;
    } else if (bodyIs(b, 0x01, {0x04, 0x48})) {
        request.kind = FocusDirect;
        request.value = nibbleValue(b, 12);
    } else if (bodyIs(b, 0x01, {0x04, 0x47})) {
        request.kind = ZoomDirect;
        request.value = nibbleValue(b, 12);
    } else if (bodyIs(b, 0x01, {0x06, 0x01, 0x00, 0x00, 0x03, 0x03})) {
        request.kind = PanTiltStop;
    } else if (bodyIs(b, 0x01, {0x04, 0x08}) && b.size() >= 13) {
        request.kind = Focus;
        request.value = b[12];
    } else if (bodyIs(b, 0x01, {0x04, 0x07}) && b.size() >= 13) {
        request.kind = Zoom;
        request.value = b[12];
    }
    return request;
}

std::vector<ViscaRequest> ViscaRequest::decodeAll(const std::vector<LoopbackCamera::Datagram> &log)
{
    std::vector<ViscaRequest> requests;
    requests.reserve(log.size());
    for (const LoopbackCamera::Datagram &datagram : log)
        requests.push_back(decode(datagram));
    return requests;
}

double MovingCamera::Axis::position(double elapsedMs, double rate) const
{
    const double distance = to - from;
    const double travelled = std::min(std::fabs(distance), elapsedMs * rate);
    return from + std::copysign(travelled, distance);
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
    pan = {signedUnits(newPan), signedUnits(newPan)};
    tilt = {signedUnits(newTilt), signedUnits(newTilt)};
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

std::vector<ViscaRequest> MovingCamera::requests() const
{
    return ViscaRequest::decodeAll(camera.received());
}

void MovingCamera::clearRequests()
{
    camera.clearReceived();
}

double MovingCamera::rate() const
{
    // A camera's slowest speed still moves it.
    return pace * std::max(speed, 1);
}

double MovingCamera::stopPoint(double from, double target) const
{
    if (std::fabs(target - from) <= shortfall)
        return from;
    return target - std::copysign(double(shortfall), target - from);
}

void MovingCamera::currentPanTilt(Clock::time_point at, uint16_t &panNow, uint16_t &tiltNow) const
{
    const double elapsedMs = std::chrono::duration<double, std::milli>(at - moveStart).count();
    panNow = uint16_t(int16_t(std::lround(pan.position(elapsedMs, rate()))));
    tiltNow = uint16_t(int16_t(std::lround(tilt.position(elapsedMs, rate()))));
}

std::chrono::milliseconds MovingCamera::startMove(const ViscaRequest &request)
{
    uint16_t panNow = 0;
    uint16_t tiltNow = 0;
    currentPanTilt(request.arrival, panNow, tiltNow);
    speed = request.panSpeed;
    moveStart = request.arrival;
    pan = {signedUnits(panNow), stopPoint(signedUnits(panNow), signedUnits(request.pan))};
    tilt = {signedUnits(tiltNow), stopPoint(signedUnits(tiltNow), signedUnits(request.tilt))};
    const double longest = std::max(std::fabs(pan.to - pan.from), std::fabs(tilt.to - tilt.from));
    const auto travel = std::chrono::duration<double, std::milli>(longest / rate());
    moveLog.push_back({request.sequence, request.arrival,
                       request.arrival + std::chrono::duration_cast<Clock::duration>(travel),
                       request.panSpeed, request.pan, request.tilt});
    return std::chrono::duration_cast<std::chrono::milliseconds>(travel);
}

std::vector<LoopbackCamera::Reply> MovingCamera::respond(const LoopbackCamera::Datagram &datagram)
{
    const ViscaRequest request = ViscaRequest::decode(datagram);
    std::lock_guard<std::mutex> lock(mutex);
    switch (request.kind) {
    case ViscaRequest::PanTiltInq: {
        if (panTiltSilent)
            return {};
        uint16_t panNow = 0;
        uint16_t tiltNow = 0;
        currentPanTilt(datagram.arrival, panNow, tiltNow);
        return {LoopbackCamera::panTiltPosition(datagram, panNow, tiltNow)};
    }
    case ViscaRequest::FocusInq:
        return {LoopbackCamera::valuePosition(datagram, focus)};
    case ViscaRequest::ZoomInq:
        return {LoopbackCamera::valuePosition(datagram, zoom)};
    case ViscaRequest::PanTiltAbs:
        // As real cameras do: acknowledged at once, completed on arrival.
        return {LoopbackCamera::acknowledge(datagram),
                LoopbackCamera::completion(datagram, startMove(request))};
    case ViscaRequest::PanTiltStop: {
        uint16_t panNow = 0;
        uint16_t tiltNow = 0;
        currentPanTilt(datagram.arrival, panNow, tiltNow);
        pan = {double(panNow), double(panNow)};
        tilt = {double(tiltNow), double(tiltNow)};
        break;
    }
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
