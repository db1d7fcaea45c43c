#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/camsim/cameramotion.h"

class CameraSimulator;
class CentralMainWindow;

// One camera's timing at one waypoint, as a run report gives it.
struct NodeTiming
{
    std::string srcName;
    int elapsedMs = 0;
    int panSpeed = 0;
    double delta = 0; // NaN when the report wrote null
    // The move's own travel and speed, the hold before it, and whether it was given up.
    int travelMs = 0;
    int travelSpeed = 0;
    int holdMs = 0;
    bool givenUp = false;
};

struct WayPointTiming
{
    int preset = 0;
    std::vector<NodeTiming> nodes;
    int spreadMs() const;                                     // slowest minus fastest camera
    const NodeTiming *node(const std::string &srcName) const; // null when absent
};

struct RunReportSummary
{
    int elapsedMs = 0;
    std::vector<WayPointTiming> wayPoints;
    // False when the file is not a report with waypoints.
    static bool read(const QString &path, RunReportSummary &summary);
};

// Plays races against a camera simulator the way an operator does: the program's form with its
// discovery through the simulated NDI runtime, a script LOADed through the form's file-name
// seam, START, and the run report that the engine writes. Needs a QApplication; the process's
// working directory must be where scripts and reports may go.
class RaceDriver
{
public:
    // A script's waypoints: targets[w][c] is camera c's position at waypoint w + 1.
    struct Race
    {
        std::vector<std::vector<CameraMotion::Units>> targets;
        int loops = 2;
        std::string venue = "Camsim Downs";
    };

    // A race along the far side of the course: at each waypoint every camera follows the field
    // 30 degrees further, each with its own framing and zoom.
    static Race alongTheCourse(const CameraSimulator &simulator, int wayPoints, int loops);
    // Puts every camera at the last waypoint, where a loop starts from.
    static void placeAtLastWayPoint(CameraSimulator &simulator, const Race &race);

    explicit RaceDriver(CameraSimulator &simulator);
    ~RaceDriver();
    RaceDriver(const RaceDriver &) = delete;
    RaceDriver &operator=(const RaceDriver &) = delete;

    CentralMainWindow &form() { return *window; }
    static std::string displayName(int cameraIndex); // "CAMSIM(PTZ Camera 1)"

    // Until the form offers every camera of the simulator to its panels.
    bool waitForSources(int timeoutMs);
    // The script's JSON, the layout that SAVE writes.
    QByteArray script(const Race &race) const;
    // The form's LOAD with the given file; true when every camera of the file is enabled.
    bool load(const QString &path);
    // Sets the speed slider, presses START and waits for the run to end; the new report.
    bool run(int sliderValue, int timeoutMs, QString &reportPath);

private:
    static bool waitUntil(const std::function<bool()> &condition, int timeoutMs);
    void click(const char *buttonName);

    CameraSimulator &sim;
    std::unique_ptr<CentralMainWindow> window;
};
