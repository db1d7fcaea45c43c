#pragma once

#include <QString>
#include <QtGlobal>

// What a panel knows of its camera's health, for the badge: whether it answers the panel's own
// exchanges and, during a run, how it fares at the current waypoint. Fed with times in
// milliseconds of one steady clock, so that it runs without timers.
//
// The panel's inquiries tell answering from silent. During a run the panel asks nothing (the
// engine polls the cameras); the engine's state signals take over: an arrival is an answer,
// and moving or given up show as they come. A silent camera that the engine merely starts
// moving still shows as silent.
class CameraHealth
{
public:
    enum class Badge { Unknown, Answering, NotAnswering, Moving, Arrived, GivenUp };
    // In the engine's own order (AutoPlayThread::CameraState).
    enum class RunState { Moving, Arrived, GivenUp };
    enum class Change { None, WentSilent, CameBack };

    // One lost datagram does not make a camera silent: it takes this many misses in a row.
    static constexpr int MissesBeforeSilent = 2;

    // Another camera, or none: nothing is known yet.
    void reset();
    Change answered(qint64 nowMs);
    Change unanswered(qint64 nowMs);
    Change runStateChanged(RunState state, int wayPoint, qint64 nowMs);
    void runEnded();

    Badge badge() const;
    // "Answering", "No answer 12 s" (then "... 2 min"), "Moving · WP 3", ...
    QString text(qint64 nowMs) const;

private:
    enum class Link { Unknown, Answering, Silent };

    Link link = Link::Unknown;
    int misses = 0;
    qint64 firstMissMs = 0; // of the misses in a row
    bool inRun = false;     // a run state came since the last run ended
    RunState runState = RunState::Moving;
    int runWayPoint = 0;
};
