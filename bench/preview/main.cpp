// Preview throughput: panels showing the simulated cameras' 640 x 360 BGRX previews at 60 frames
// per second, through the simulator's NDI runtime, on the offscreen platform. Prints frames
// that reached the screen per second and per panel, and CPU time per painted frame (the
// runtime's drawing of each frame included), as medians over repeated runs.
//
//   bench_preview [--seconds N] [--runs N] [--screenshot file.png]

#include "ndi/ndilib.h"
#include "ndi/videowidget.h"
#include "position_editing/cameraposctrls.h"
#include "shell/appresources.h"
#include "store/cameradatastore.h"
#include "tools/camsim/camerasimulator.h"
#include "tools/camsim/common/camsimprotocol.h"
#include "tools/camsim/racedriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr int Panels = 10;
const char *const BaseAddress = "127.0.10.10";

double cpuSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Counts paint events of the preview widgets: each is one frame on screen.
class PaintCounter : public QObject
{
public:
    long paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Row
{
    std::unique_ptr<QWidget> window;
    std::vector<CameraPosCtrls *> panels;
};

Row makeRow(int panelCount, PaintCounter *counter, int fixedPanels = 4)
{
    Row row{std::make_unique<QWidget>(), {}};
    auto *layout = new QHBoxLayout(row.window.get());
    for (int i = 0; i < panelCount; ++i) {
        auto *panel = new CameraPosCtrls(i < fixedPanels);
        layout->addWidget(panel);
        row.panels.push_back(panel);
        panel->findChild<VideoWidget *>()->installEventFilter(counter);
    }
    row.window->show();
    if (!QTest::qWaitForWindowExposed(row.window.get()))
        std::fprintf(stderr, "window not exposed\n");
    for (int i = 0; i < panelCount; ++i) {
        // Undiscovered names: no address, so no camera or web traffic, only the preview.
        const QString name = QString::fromStdString(RaceDriver::displayName(i));
        row.panels[size_t(i)]->AddSources({name});
        row.panels[size_t(i)]->SelectSource(name);
    }
    return row;
}

struct Sample
{
    double fpsPerPanel;
    double processCpuMsPerFrame;
    double guiCpuMsPerFrame;
};

Sample measure(int panelCount, double seconds)
{
    PaintCounter counter;
    Row row = makeRow(panelCount, &counter);
    Sample sample{};
    QTest::qWait(500); // warm up: receivers connected, surfaces started, caches filled
    counter.paints = 0;
    const double process0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double gui0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    const double elapsed = wall.elapsed() / 1000.0;
    const double frames = std::max(1.0, double(counter.paints));
    sample.fpsPerPanel = counter.paints / elapsed / panelCount;
    sample.processCpuMsPerFrame =
        (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process0) * 1000.0 / frames;
    sample.guiCpuMsPerFrame = (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - gui0) * 1000.0 / frames;
    return sample;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int screenshot(const QString &file)
{
    CameraDataStore &store = CameraDataStore::instance();
    const std::string name = RaceDriver::displayName(0);
    bool added = false;
    store.storeWayPoint(name, WayPoint{1658, 374, 0x1200, 0x1A2B, 1.0f}, 1, added);
    store.storeWayPoint(name, WayPoint{0xF986, 0xFFFF, 0x1000, 0x0400, 1.0f}, 2, added);
    PaintCounter counter;
    Row row = makeRow(1, &counter, 0);
    row.window->resize(row.window->sizeHint().width(), 1000);
    row.panels.front()->ShowPositions(1658, 374, 0x1200, 0x1A2B);
    QTest::qWait(600);
    const bool saved = row.panels.front()->grab().save(file);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
    return saved ? 0 : 1;
}

void printSection(double seconds, int runs)
{
    std::printf("Preview throughput, %dx%d BGRX simulated previews at 60 fps, offscreen platform, "
                "%d runs of %.1f s (median)\n",
                CamSim::PreviewWidth, CamSim::PreviewHeight, runs, seconds);
    std::printf("%-8s %18s %22s %22s\n", "panels", "fps on screen/panel", "process CPU ms/frame",
                "GUI-thread CPU ms/frame");
    for (int panels : {1, Panels}) {
        std::vector<double> fps, process, gui;
        for (int run = 0; run < runs; ++run) {
            const Sample s = measure(panels, seconds);
            fps.push_back(s.fpsPerPanel);
            process.push_back(s.processCpuMsPerFrame);
            gui.push_back(s.guiCpuMsPerFrame);
        }
        std::printf("%-8d %18.1f %22.3f %22.3f\n", panels, median(fps), median(process),
                    median(gui));
    }
    std::printf("Full-frame pixel copies per frame, runtime buffer to painted picture: 1 (the "
                "video thread's private copy).\n"
                "Then one scaling pass into a player-sized image and one paint of it into the "
                "window; the wraps in between (QImage over the copy, QVideoFrame over the "
                "scaled image, QImage over the mapped frame) copy nothing.\n");
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("NDI_RUNTIME_DIR_V6", TREVALO_CAMSIM_RUNTIME_DIR);
    qputenv(CamSim::BaseAddressVariable, BaseAddress);
    QApplication app(argc, argv);
    AppResources::initBundle();
    AppResources::registerFonts();

    double seconds = 3.0;
    int runs = 3;
    QString screenshotFile;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--seconds"))
            seconds = args[i + 1].toDouble();
        else if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--screenshot"))
            screenshotFile = args[i + 1];
    }

    CameraSimulator::Config config;
    config.baseAddress = BaseAddress;
    config.cameraCount = Panels;
    for (int c = 0; c < Panels; ++c) {
        config.profiles.push_back(CameraSimulator::defaultProfile(c));
        config.profiles.back().videoFormat = "1080p60";
    }
    CameraSimulator simulator(config);
    std::string error;
    if (!simulator.start(error) || !NDIlib_initialize()) {
        std::fprintf(stderr, "bench_preview: no simulated cameras or NDI runtime %s\n",
                     error.c_str());
        return 1;
    }
    const int result =
        screenshotFile.isEmpty() ? (printSection(seconds, runs), 0) : screenshot(screenshotFile);
    NDIlib_destroy();
    return result;
}
