#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "tools/camsim/cameramotion.h"
#include "tools/camsim/viscawire.h"

// What makes one simulated camera unlike the others.
struct CameraProfile
{
    CameraModel model = CameraModel::r520();
    std::string firmware = "v2.4.1";
    std::string videoFormat = "1080p59.94";
    double speedFactor = 1.0;
    // Where the camera looks when the simulator starts: left there after the last meeting.
    double startPanDegrees = 0;
    double startTiltDegrees = 0;
    uint16_t startZoom = 0;
};

// Misbehaviour on demand, as met on real networks.
struct CameraFaults
{
    bool silent = false;       // answers nothing, VISCA or web
    double dropShare = 0;      // share of received datagrams ignored (0..1)
    int lateMs = 0;            // every reply goes out this much later
    bool noCompletion = false; // acknowledges but never completes
    bool strayReplies = false; // precedes every reply with one it was not asked for
};

// One pan-tilt move as the camera received it: what a benchmark needs to tell travel time
// from the time the controller took to notice the arrival.
struct MoveRecord
{
    std::chrono::steady_clock::time_point received;
    std::chrono::steady_clock::time_point arrival;
    CameraMotion::Units from;
    CameraMotion::Units to;
    int panSpeed = 0;
    int tiltSpeed = 0;
};

// One simulated PTZ camera: answers VISCA datagrams and web requests from its motion model.
// Thread-safe: the network thread feeds it, tests and benchmarks read it.
class SimCamera
{
public:
    using Clock = std::chrono::steady_clock;

    // A reply to send; `block`/`token` name the move a late completion belongs to, so that
    // a move replaced in the meantime sends nothing.
    struct Outgoing
    {
        std::vector<uint8_t> bytes;
        Clock::time_point due;
        int block = -1;
        uint64_t token = 0;
        bool isCompletion = false;
    };

    SimCamera(int index, const std::string &address, const CameraProfile &profile,
              double speedScale);

    int index() const { return cameraIndex; }
    const std::string &address() const { return cameraAddress; }
    const CameraProfile &profile() const { return cameraProfile; }

    std::vector<Outgoing> handleVisca(const uint8_t *data, size_t size, Clock::time_point now);
    // False when the move that `token` completes has since been replaced.
    bool isCurrent(int block, uint64_t token) const;
    // The whole HTTP response to a request head; empty when the camera stays silent.
    std::string httpResponse(const std::string &requestHead, int &delayMs) const;

    CamSim::ViewState view(Clock::time_point now) const;
    CameraMotion::Units position(Clock::time_point now) const;
    Clock::duration panTiltTravelTime(CameraMotion::Units from, CameraMotion::Units to,
                                      int speed) const;

    // Puts the camera there at once, idle: a known start for tests and benchmarks.
    void placeAt(const CameraMotion::Units &units);
    void setFaults(const CameraFaults &faults);
    CameraFaults faults() const;
    std::map<ViscaWire::Kind, int> requestCounts() const;
    std::vector<MoveRecord> panTiltMoves() const;
    void clearRecords();

private:
    enum Block { PanTiltBlock, ZoomBlock, FocusBlock, BlockCount };
    struct PendingMove
    {
        uint64_t token = 0;
        uint32_t sequence = 0;
        Clock::time_point arrival;
    };

    std::vector<Outgoing> answer(const ViscaWire::Request &request, Clock::time_point now);
    std::vector<uint8_t> inquiryReply(const ViscaWire::Request &request,
                                      Clock::time_point now) const;
    // Applies a command; returns the time of its completion (now for the immediate ones).
    Clock::time_point execute(const ViscaWire::Request &request, Clock::time_point now, int &block);
    Clock::time_point executePanTilt(const ViscaWire::Request &request, Clock::time_point now);
    Clock::time_point executeLens(const ViscaWire::Request &request, Clock::time_point now,
                                  int &block);
    void replaceMove(int block, uint32_t sequence, Clock::time_point arrival, Clock::time_point now,
                     std::vector<Outgoing> &out);
    std::vector<uint8_t> strayReply(uint32_t sequence);
    void applyFaults(std::vector<Outgoing> &out) const;

    const int cameraIndex;
    const std::string cameraAddress;
    const CameraProfile cameraProfile;

    mutable std::mutex mutex; // guards every member below
    CameraMotion motion;
    CameraFaults currentFaults;
    std::mt19937 random;
    uint64_t nextToken = 1;
    int strayKind = 0;
    PendingMove pending[BlockCount];
    std::map<int, CameraMotion::Units> presets;
    std::map<ViscaWire::Kind, int> counts;
    std::vector<MoveRecord> moves;
};
