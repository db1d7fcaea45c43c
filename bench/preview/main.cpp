// Preview throughput: panels fed 640 x 360 BGRX frames at 60 frames per second by the test NDI
// runtime, on the offscreen platform. Prints frames that reached the screen per second and per
// panel, and CPU time per painted frame, as medians over repeated runs.
//
//   bench_preview [--seconds N] [--runs N] [--screenshot file.png]

#include "ndi/ndilib.h"
#include "ndi/videowidget.h"
#include "position_editing/cameraposctrls.h"
#include "shell/appresources.h"
#include "store/cameradatastore.h"
#include "support/testndiruntime.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

namespace {
constexpr int FrameWidth = 640;
constexpr int FrameHeight = 360;
constexpr int FeedRate = 60;

double cpuSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Seven colour bars, so a screenshot shows orientation and true colours at a glance.
QByteArray colourBars()
{
    const uint8_t bars[7][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                {255, 0, 255},   {255, 0, 0},   {0, 0, 255}};
    QByteArray pixels(FrameWidth * FrameHeight * 4, '\0');
    for (int y = 0; y < FrameHeight; ++y) {
        for (int x = 0; x < FrameWidth; ++x) {
            const uint8_t *rgb = bars[x * 7 / FrameWidth];
            char *p = pixels.data() + (y * FrameWidth + x) * 4;
            p[0] = char(rgb[2]);
            p[1] = char(rgb[1]);
            p[2] = char(rgb[0]);
        }
    }
    return pixels;
}

// Pushes one frame to every receiver at the feed rate until stopped.
class Feeder
{
public:
    explicit Feeder(TestNdiRuntime &runtime)
        : thread([this, &runtime] {
            const QByteArray pixels = colourBars();
            auto next = std::chrono::steady_clock::now();
            while (!stopping) {
                runtime.pushVideoFrame(std::string(), FrameWidth, FrameHeight, FrameWidth * 4,
                                       pixels);
                next += std::chrono::microseconds(1000000 / FeedRate);
                std::this_thread::sleep_until(next);
            }
        })
    {
    }
    ~Feeder()
    {
        stopping = true;
        thread.join();
    }

private:
    std::atomic<bool> stopping{false};
    std::thread thread;
};

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
        const QString name = QStringLiteral("BENCH(%1)").arg(i + 1);
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

Sample measure(TestNdiRuntime &runtime, int panelCount, double seconds)
{
    PaintCounter counter;
    Row row = makeRow(panelCount, &counter);
    Sample sample{};
    {
        const Feeder feeder(runtime);
        QTest::qWait(500); // warm up: surfaces started, caches filled
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
        row.window.reset(); // panels stop while frames still come, so stops are quick
    }
    return sample;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int screenshot(TestNdiRuntime &runtime, const QString &file)
{
    CameraDataStore &store = CameraDataStore::instance();
    bool added = false;
    store.storeWayPoint("BENCH(1)", WayPoint{1658, 374, 0x1200, 0x1A2B, 1.0f}, 1, added);
    store.storeWayPoint("BENCH(1)", WayPoint{0xF986, 0xFFFF, 0x1000, 0x0400, 1.0f}, 2, added);
    PaintCounter counter;
    Row row = makeRow(1, &counter, 0);
    row.window->resize(row.window->sizeHint().width(), 1000);
    row.panels.front()->ShowPositions(1658, 374, 0x1200, 0x1A2B);
    bool saved = false;
    {
        const Feeder feeder(runtime);
        QTest::qWait(600);
        saved = row.panels.front()->grab().save(file);
        row.window.reset();
    }
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
    return saved ? 0 : 1;
}

void printSection(TestNdiRuntime &runtime, double seconds, int runs)
{
    std::printf("Preview throughput, %dx%d BGRX fed at %d fps, offscreen platform, %d runs of "
                "%.1f s (median)\n",
                FrameWidth, FrameHeight, FeedRate, runs, seconds);
    std::printf("%-8s %18s %22s %22s\n", "panels", "fps on screen/panel", "process CPU ms/frame",
                "GUI-thread CPU ms/frame");
    for (int panels : {1, 10}) {
        std::vector<double> fps, process, gui;
        for (int run = 0; run < runs; ++run) {
            const Sample s = measure(runtime, panels, seconds);
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

    TestNdiRuntime::pointLoaderAt(TestNdiRuntime::Build::Complete);
    TestNdiRuntime runtime;
    if (!runtime.isLoaded() || !NDIlib_initialize()) {
        std::fprintf(stderr, "test NDI runtime not available\n");
        return 1;
    }
    const int result = screenshotFile.isEmpty() ? (printSection(runtime, seconds, runs), 0)
                                                : screenshot(runtime, screenshotFile);
    NDIlib_destroy();
    return result;
}
