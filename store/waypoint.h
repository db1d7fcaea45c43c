#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <QTime>

// One camera's stored position at one waypoint, in the camera's own 16-bit units.
struct WayPoint
{
    int32_t pan = 0;
    int32_t tilt = 0;
    int32_t focus = 0;
    int32_t zoom = 0;
    float delta = 1.0f; // speed multiplier for moves to this position
    // From a run report: how long the last move here took, and at which speed (0: unknown).
    int32_t travelMs = 0;
    int32_t travelSpeed = 0;
};

// One camera at one waypoint; during a run also the engine's working record.
struct WayPointNode
{
    std::string ip;       // VISCA destination; empty when no address was found
    std::string src_name; // source display name
    int32_t pan_speed = 9;
    int32_t tilt_speed = 9;
    int32_t pan = 0;
    int32_t tilt = 0;
    int32_t focus = 0;
    int32_t zoom = 0;
    QTime start;         // the waypoint's common start: its first command left
    QTime end;           // seen at the target
    int32_t elapsed = 0; // milliseconds from start to end
    bool moved = false;
    bool arrived = false;
    float delta = 1.0f;
    // Loaded from a run report: the travel measured there and the speed it was measured at.
    int32_t recordedTravelMs = 0;
    int32_t recordedTravelSpeed = 0;
    // Measured in this run: the move's own travel, its speed, the hold before it, and whether
    // the camera was given up at this waypoint.
    int32_t travelMs = 0;
    int32_t moveSpeed = 0;
    int32_t holdMs = 0;
    bool givenUp = false;
};

// The stored position a node carries, and a node carrying a stored position (no address yet).
inline WayPoint storedPosition(const WayPointNode &node)
{
    return {node.pan,
            node.tilt,
            node.focus,
            node.zoom,
            node.delta,
            node.recordedTravelMs,
            node.recordedTravelSpeed};
}

inline WayPointNode nodeFor(const std::string &srcName, const WayPoint &position)
{
    WayPointNode node;
    node.src_name = srcName;
    node.pan = position.pan;
    node.tilt = position.tilt;
    node.focus = position.focus;
    node.zoom = position.zoom;
    node.delta = position.delta;
    node.recordedTravelMs = position.travelMs;
    node.recordedTravelSpeed = position.travelSpeed;
    return node;
}

// Waypoint -1 (a script entry without a number) is held as 65535.
constexpr uint16_t kUnnumberedPreset = 65535;

struct WayPointEntry
{
    uint16_t preset = 0;
    std::vector<WayPointNode> node; // at most one node per src_name, in filing order
};

// The position last read back from a camera during a run.
struct CameraPosition
{
    int32_t pan = 0;
    int32_t tilt = 0;
    int32_t focus = 0;
    int32_t zoom = 0;
};
