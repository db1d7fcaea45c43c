#include "tools/camsim/simcamera.h"

#include <algorithm>
#include <cmath>

using ViscaWire::Kind;

namespace {

// A drive byte: 0 stop, 2 and 3 at the standard speed, 2p and 3p at speed p.
void decodeDrive(uint8_t drive, int &direction, int &speed)
{
    const int high = drive >> 4;
    direction = drive == 0x02 || high == 2 ? 1 : drive == 0x03 || high == 3 ? -1 : 0;
    speed = high == 0 ? 3 : (drive & 0x07);
}

int directionOf(uint8_t code, uint8_t positive, uint8_t negative)
{
    return code == positive ? 1 : code == negative ? -1 : 0;
}

bool isCommand(Kind kind)
{
    switch (kind) {
    case Kind::PanTiltDrive:
    case Kind::PanTiltAbsolute:
    case Kind::PanTiltRelative:
    case Kind::ZoomDrive:
    case Kind::ZoomDirect:
    case Kind::FocusDrive:
    case Kind::FocusDirect:
    case Kind::FocusMode:
    case Kind::Preset:
        return true;
    default:
        return false;
    }
}

std::string httpReply(const std::string &status, const std::string &type, const std::string &body)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

} // namespace

SimCamera::SimCamera(int index, const std::string &address, const CameraProfile &profile,
                     double speedScale)
    : cameraIndex(index)
    , cameraAddress(address)
    , cameraProfile(profile)
    , motion(profile.model, profile.speedFactor * speedScale)
    , random(uint32_t(7919 * (index + 1)))
{
    const CameraModel &model = profile.model;
    CameraMotion::Units start = motion.position(Clock::now());
    start.pan = uint16_t(std::lround(profile.startPanDegrees * model.panUnitsPerDegree));
    start.tilt = uint16_t(std::lround(profile.startTiltDegrees * model.tiltUnitsPerDegree));
    start.zoom = profile.startZoom;
    motion.placeAt(start);
}

std::vector<SimCamera::Outgoing> SimCamera::handleVisca(const uint8_t *data, size_t size,
                                                        Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (currentFaults.silent)
        return {};
    if (currentFaults.dropShare > 0 &&
        std::uniform_real_distribution<double>(0, 1)(random) < currentFaults.dropShare)
        return {};
    const ViscaWire::Request request = ViscaWire::parse(data, size);
    ++counts[request.kind];
    std::vector<Outgoing> out = answer(request, now);
    if (currentFaults.strayReplies)
        out.insert(out.begin(), Outgoing{strayReply(request.sequence), now});
    applyFaults(out);
    return out;
}

std::vector<SimCamera::Outgoing> SimCamera::answer(const ViscaWire::Request &request,
                                                   Clock::time_point now)
{
    if (request.kind == Kind::Unknown)
        return {{ViscaWire::syntaxError(request.sequence), now}};
    if (request.kind == Kind::SequenceReset)
        return {{ViscaWire::sequenceResetReply(request.sequence), now}};
    if (!isCommand(request.kind))
        return {{inquiryReply(request, now), now}};

    std::vector<Outgoing> out{{ViscaWire::acknowledge(request.sequence), now}};
    int block = -1;
    const Clock::time_point done = execute(request, now, block);
    if (block < 0)
        out.push_back({ViscaWire::completion(request.sequence), now, -1, 0, true});
    else
        replaceMove(block, request.sequence, done, now, out);
    return out;
}

std::vector<uint8_t> SimCamera::inquiryReply(const ViscaWire::Request &request,
                                             Clock::time_point now) const
{
    const CameraMotion::Units at = motion.position(now);
    switch (request.kind) {
    case Kind::PanTiltInquiry:
        return ViscaWire::positions(request.sequence, {at.pan, at.tilt});
    case Kind::ZoomInquiry:
        return ViscaWire::positions(request.sequence, {at.zoom});
    case Kind::FocusInquiry:
        return ViscaWire::positions(request.sequence, {at.focus});
    default: // the lens block: zoom, a spare word, focus, a spare word
        return ViscaWire::positions(request.sequence, {at.zoom, 0, at.focus, 0});
    }
}

SimCamera::Clock::time_point SimCamera::execute(const ViscaWire::Request &request,
                                                Clock::time_point now, int &block)
{
    switch (request.kind) {
    case Kind::PanTiltDrive:
    case Kind::PanTiltAbsolute:
    case Kind::PanTiltRelative:
        block = PanTiltBlock;
        return executePanTilt(request, now);
    case Kind::Preset:
        if (request.drive == 0x01) {
            presets[request.presetNumber] = motion.position(now);
        } else if (request.drive == 0x02 && presets.count(request.presetNumber)) {
            const CameraMotion::Units at = presets[request.presetNumber];
            block = PanTiltBlock;
            return motion.panTiltTo(at.pan, at.tilt, 18, 18, now);
        }
        return now;
    case Kind::FocusMode:
        return now;
    default:
        return executeLens(request, now, block);
    }
}

SimCamera::Clock::time_point SimCamera::executePanTilt(const ViscaWire::Request &request,
                                                       Clock::time_point now)
{
    if (request.kind == Kind::PanTiltDrive) {
        motion.panTiltDrive(directionOf(request.panDirection, 2, 1),
                            directionOf(request.tiltDirection, 1, 2), request.panSpeed,
                            request.tiltSpeed, now);
        return now;
    }
    MoveRecord record;
    record.received = now;
    record.from = motion.position(now);
    record.panSpeed = request.panSpeed;
    record.tiltSpeed = request.tiltSpeed;
    if (request.kind == Kind::PanTiltAbsolute)
        record.arrival = motion.panTiltTo(request.first, request.second, request.panSpeed,
                                          request.tiltSpeed, now);
    else
        record.arrival = motion.panTiltBy(int16_t(request.first), int16_t(request.second),
                                          request.panSpeed, request.tiltSpeed, now);
    record.to = motion.position(record.arrival);
    moves.push_back(record);
    return record.arrival;
}

SimCamera::Clock::time_point SimCamera::executeLens(const ViscaWire::Request &request,
                                                    Clock::time_point now, int &block)
{
    int direction = 0;
    int speed = 0;
    decodeDrive(request.drive, direction, speed);
    switch (request.kind) {
    case Kind::ZoomDrive:
        block = ZoomBlock;
        motion.zoomDrive(direction, speed, now);
        return now;
    case Kind::FocusDrive:
        // Far is the low end of the focus travel.
        block = FocusBlock;
        motion.focusDrive(-direction, speed, now);
        return now;
    case Kind::ZoomDirect:
        block = ZoomBlock;
        return motion.zoomTo(request.first, now);
    case Kind::FocusDirect:
        block = FocusBlock;
        return motion.focusTo(request.first, now);
    default:
        return now;
    }
}

// A new command on a block cancels the move still running there, as a camera's single
// command socket does, and takes over the completion.
void SimCamera::replaceMove(int block, uint32_t sequence, Clock::time_point arrival,
                            Clock::time_point now, std::vector<Outgoing> &out)
{
    PendingMove &running = pending[block];
    if (running.token != 0 && running.arrival > now)
        out.push_back({ViscaWire::cancelled(running.sequence), now});
    running = {nextToken++, sequence, arrival};
    out.push_back({ViscaWire::completion(sequence), arrival, block, running.token, true});
}

bool SimCamera::isCurrent(int block, uint64_t token) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return block < 0 || block >= BlockCount || pending[block].token == token;
}

std::vector<uint8_t> SimCamera::strayReply(uint32_t sequence)
{
    switch (strayKind++ % 4) {
    case 0: // another camera's address
        return ViscaWire::frame(sequence, {0xA0, 0x41, 0xFF});
    case 1: // a network-change notice
        return ViscaWire::frame(sequence, {0x90, 0x38, 0xFF});
    case 2: // an old command's completion
        return ViscaWire::completion(sequence - 1);
    default: // cut short
        return ViscaWire::frame(sequence, {0x90, 0x50, 0x01});
    }
}

void SimCamera::applyFaults(std::vector<Outgoing> &out) const
{
    if (currentFaults.noCompletion)
        out.erase(std::remove_if(out.begin(), out.end(),
                                 [](const Outgoing &o) { return o.isCompletion; }),
                  out.end());
    for (Outgoing &o : out)
        o.due += std::chrono::milliseconds(currentFaults.lateMs);
}

std::string SimCamera::httpResponse(const std::string &requestHead, int &delayMs) const
{
    std::lock_guard<std::mutex> lock(mutex);
    if (currentFaults.silent)
        return {};
    delayMs = currentFaults.lateMs;
    const size_t start = requestHead.find(' ');
    const size_t end = requestHead.find(' ', start + 1);
    const std::string path = start == std::string::npos || end == std::string::npos
                                 ? std::string()
                                 : requestHead.substr(start + 1, end - start - 1);
    if (path == "/version")
        return httpReply("200 OK", "text/plain",
                         "Korvane " + cameraProfile.model.name + " " + cameraProfile.firmware);
    if (path == "/encodesetup")
        return httpReply("200 OK", "application/json",
                         "{\"VideoFormat\": \"" + cameraProfile.videoFormat +
                             "\", \"VideoCodec\": \"H.264\", \"Bitrate\": 12000}");
    return httpReply("404 Not Found", "text/plain", "Not Found");
}

CamSim::ViewState SimCamera::view(Clock::time_point now) const
{
    std::lock_guard<std::mutex> lock(mutex);
    CamSim::ViewState state = motion.view(now);
    CamSim::frameRateOfFormat(cameraProfile.videoFormat, state.frameRateN, state.frameRateD);
    return state;
}

CameraMotion::Units SimCamera::position(Clock::time_point now) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return motion.position(now);
}

SimCamera::Clock::duration SimCamera::panTiltTravelTime(CameraMotion::Units from,
                                                        CameraMotion::Units to, int speed) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return motion.panTiltTravelTime(from, to, speed);
}

void SimCamera::placeAt(const CameraMotion::Units &units)
{
    std::lock_guard<std::mutex> lock(mutex);
    motion.placeAt(units);
    for (PendingMove &move : pending)
        move.token = 0;
}

void SimCamera::setFaults(const CameraFaults &faults)
{
    std::lock_guard<std::mutex> lock(mutex);
    currentFaults = faults;
}

CameraFaults SimCamera::faults() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return currentFaults;
}

std::map<ViscaWire::Kind, int> SimCamera::requestCounts() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return counts;
}

std::vector<MoveRecord> SimCamera::panTiltMoves() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return moves;
}

void SimCamera::clearRecords()
{
    std::lock_guard<std::mutex> lock(mutex);
    counts.clear();
    moves.clear();
}
