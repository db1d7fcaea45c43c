#include "tools/camsim/racedriver.h"

#include "automation/centralmainwindow.h"
#include "automation/engine/autoplaythread.h"
#include "automation/scriptfiledialog.h"
#include "store/cameradatastore.h"
#include "tools/camsim/camerasimulator.h"
#include "tools/camsim/common/camsimprotocol.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSlider>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <limits>

int WayPointTiming::spreadMs() const
{
    if (nodes.empty())
        return 0;
    const auto bounds = std::minmax_element(
        nodes.begin(), nodes.end(),
        [](const NodeTiming &a, const NodeTiming &b) { return a.elapsedMs < b.elapsedMs; });
    return bounds.second->elapsedMs - bounds.first->elapsedMs;
}

const NodeTiming *WayPointTiming::node(const std::string &srcName) const
{
    const auto found = std::find_if(nodes.begin(), nodes.end(),
                                    [&](const NodeTiming &n) { return n.srcName == srcName; });
    return found == nodes.end() ? nullptr : &*found;
}

namespace {

NodeTiming nodeTiming(const QJsonObject &node)
{
    NodeTiming timing;
    timing.srcName = node.value("src_name").toString().toStdString();
    timing.elapsedMs = node.value("elapsed_time_msec").toInt();
    timing.panSpeed = node.value("pan_speed").toInt();
    const QJsonValue delta = node.value("delta");
    timing.delta = delta.isDouble() ? delta.toDouble() : std::numeric_limits<double>::quiet_NaN();
    timing.travelMs = node.value("travel_msec").toInt();
    timing.travelSpeed = node.value("travel_speed").toInt();
    timing.holdMs = node.value("hold_msec").toInt();
    timing.givenUp = node.value("given_up").toBool();
    return timing;
}

} // namespace

bool RunReportSummary::read(const QString &path, RunReportSummary &summary)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject report = QJsonDocument::fromJson(file.readAll()).object();
    if (!report.value("autoPlayNode").isArray())
        return false;
    RunReportSummary parsed;
    parsed.elapsedMs = report.value("elapsed_time_msec").toInt();
    for (const QJsonValue &entry : report.value("autoPlayNode").toArray()) {
        WayPointTiming wayPoint;
        wayPoint.preset = entry.toObject().value("preset").toInt();
        for (const QJsonValue &value : entry.toObject().value("node").toArray())
            wayPoint.nodes.push_back(nodeTiming(value.toObject()));
        parsed.wayPoints.push_back(wayPoint);
    }
    summary = parsed;
    return true;
}

RaceDriver::RaceDriver(CameraSimulator &simulator)
    : sim(simulator)
{
    // The form initialises NDI: the simulated runtime must be the one it finds.
    qputenv("TREVALO_CAMSIM_BASE", QByteArray::fromStdString(sim.baseAddress()));
    window = std::make_unique<CentralMainWindow>();
    window->resize(1600, 900);
    window->show();
}

RaceDriver::~RaceDriver() = default;

std::string RaceDriver::displayName(int cameraIndex)
{
    return "CAMSIM(PTZ Camera " + std::to_string(cameraIndex + 1) + ")";
}

bool RaceDriver::waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void RaceDriver::click(const char *buttonName)
{
    if (auto *button = window->findChild<QAbstractButton *>(buttonName))
        button->click();
}

bool RaceDriver::waitForSources(int timeoutMs)
{
    const auto ours = [] {
        std::set<NDISourceInfo> known;
        CameraDataStore::instance().copyKnownSources(known);
        return int(std::count_if(known.begin(), known.end(),
                                 [](const NDISourceInfo &s) { return s.machineName == "CAMSIM"; }));
    };
    if (!waitUntil([&] { return ours() >= sim.cameraCount(); }, timeoutMs))
        return false;
    // What the form's one-second timer would do next: offer them to the panels.
    window->UpdateSourceList();
    return true;
}

RaceDriver::Race RaceDriver::alongTheCourse(const CameraSimulator &simulator, int wayPoints,
                                            int loops)
{
    constexpr double FirstPan = 75;
    constexpr double PanStep = -30;
    constexpr double Tilt = -1.5; // the far straight
    Race race;
    race.loops = loops;
    for (int w = 0; w < wayPoints; ++w) {
        std::vector<CameraMotion::Units> row;
        for (int c = 0; c < simulator.cameraCount(); ++c) {
            const CameraModel &model = simulator.camera(c).profile().model;
            const double pan = FirstPan + PanStep * w + 2.0 * c;
            const double tilt = Tilt - 0.5 * c;
            row.push_back({uint16_t(std::lround(pan * model.panUnitsPerDegree)),
                           uint16_t(std::lround(tilt * model.tiltUnitsPerDegree)),
                           uint16_t(0x0C00 + 0x100 * w + 0x200 * c),
                           uint16_t(CameraMotion::FocusMinimum)});
        }
        race.targets.push_back(row);
    }
    return race;
}

void RaceDriver::placeAtLastWayPoint(CameraSimulator &simulator, const Race &race)
{
    for (int c = 0; c < simulator.cameraCount(); ++c)
        simulator.camera(c).placeAt(race.targets.back().at(size_t(c)));
}

QByteArray RaceDriver::script(const Race &race) const
{
    QJsonArray wayPoints;
    for (size_t w = 0; w < race.targets.size(); ++w) {
        QJsonArray nodes;
        for (size_t c = 0; c < race.targets[w].size(); ++c) {
            const CameraMotion::Units &at = race.targets[w][c];
            nodes.append(QJsonObject{{"src_name", QString::fromStdString(displayName(int(c)))},
                                     {"ip", QString::fromStdString(sim.camera(int(c)).address())},
                                     {"pan_speed", 9},
                                     {"tilt_speed", 9},
                                     {"pan", at.pan},
                                     {"tilt", at.tilt},
                                     {"focus", at.focus},
                                     {"zoom", at.zoom}});
        }
        wayPoints.append(QJsonObject{{"preset", int(w + 1)}, {"node", nodes}});
    }
    const int count = int(race.targets.size());
    const QJsonObject document{{"version", 1.0},
                               {"loop_count", race.loops},
                               {"venue", QString::fromStdString(race.venue)},
                               {"race_no", 1},
                               {"total_no_race", 30},
                               {"race_length", 1600},
                               {"total_wp_no", std::max(count, 2)},
                               {"way_pt_no", 1},
                               {"start_wp", 1},
                               {"end_wp", count},
                               {"autoPlayNode", wayPoints}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

bool RaceDriver::load(const QString &path)
{
    ScriptFileDialog::setNextFileName(path);
    click("scriptLoadPushButton");
    if (ScriptFileDialog::hasNextFileName())
        return false;
    const CameraDataStore::SourceFlags flags = CameraDataStore::instance().getAutoPlaySources();
    return !flags.empty() &&
           std::all_of(flags.begin(), flags.end(), [](const auto &f) { return f.second == 1; });
}

bool RaceDriver::run(int sliderValue, int timeoutMs, QString &reportPath)
{
    if (auto *slider = window->findChild<QSlider *>("horizontalSlider"))
        slider->setValue(sliderValue);
    const QDir reports(QDir::current().filePath("reports"));
    const QStringList before = reports.entryList({"*.kva"}, QDir::Files);
    // The form owns the run's engine from START until the run has finished.
    const auto engine = [this] { return window->findChild<AutoPlayThread *>(); };
    click("StartStopPushButton");
    if (!engine() || !waitUntil([&] { return !engine(); }, timeoutMs))
        return false;
    for (const QString &name : reports.entryList({"*.kva"}, QDir::Files, QDir::Time)) {
        if (!before.contains(name)) {
            reportPath = reports.filePath(name);
            return true;
        }
    }
    return false;
}
