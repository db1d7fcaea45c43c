#pragma once

class AutoPlayThread;

// Puts a run into the race-day log: its start now, then from the engine's own thread as they
// happen, each camera given up, the report file and the run's end. Call before start().
namespace RunLog {
void watch(AutoPlayThread *engine, bool startRun, int firstWayPoint, int lastWayPoint);
}
