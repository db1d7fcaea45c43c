// The simulated NDI runtime, loaded by the program's own loader from NDI_RUNTIME_DIR_V6:
// discovery of the simulator's cameras and their preview frames (cameras on 127.0.7.120+).
#include "ndi/ndilib.h"
#include "ndi/previewreceiver.h"
#include "tools/camsim/camerasimulator.h"
#include "tools/camsim/common/coursepanorama.h"
#include "viscaclient.h"

#include <QtTest>

#include <cmath>

using namespace std::chrono;

namespace {

const std::string Base = "127.0.7.120";

struct Frame
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // B, G, R, X
    NdiVideoFrame record{};
};

bool capture(NdiReceiverHandle receiver, Frame &frame)
{
    NdiVideoFrame video{};
    if (NDIlib_recv_capture_v2(receiver, &video, nullptr, nullptr, 2000) != NdiFrameTypeVideo)
        return false;
    frame.width = video.width;
    frame.height = video.height;
    frame.record = video;
    frame.pixels.assign(video.data, video.data + size_t(video.lineStrideBytes) * video.height);
    NDIlib_recv_free_video_v2(receiver, &video);
    return true;
}

// The horizontal shift (in pixels, within ±limit) that best lays `after` over `before`:
// negative when the picture moved left.
int bestShift(const Frame &before, const Frame &after, int limit)
{
    int best = 0;
    double bestError = 1e300;
    const int stride = before.width * 4;
    for (int shift = -limit; shift <= limit; ++shift) {
        double error = 0;
        for (int y = 0; y < before.height; y += 4) {
            for (int x = limit; x < before.width - limit; x += 2) {
                const size_t a = size_t(y) * stride + size_t(x) * 4;
                const size_t b = size_t(y) * stride + size_t(x + shift) * 4;
                for (int c = 0; c < 3; ++c)
                    error += std::abs(int(before.pixels[a + c]) - int(after.pixels[b + c]));
            }
        }
        if (error < bestError) {
            bestError = error;
            best = shift;
        }
    }
    return best;
}

} // namespace

class TestCamSimNdi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void finderSeesTheSimulatorWhenItStarts();
    void framesCarryTheCamerasFormat();
    void panningMovesThePicture();
    void numberedMarkersAreOnTheCourse();
    void captureKeepsToTimeoutAndFrameRate();

private:
    std::unique_ptr<CameraSimulator> simulator;
};

void TestCamSimNdi::initTestCase()
{
    qputenv("NDI_RUNTIME_DIR_V6", TREVALO_CAMSIM_RUNTIME_DIR);
    qputenv("TREVALO_CAMSIM_BASE", QByteArray::fromStdString(Base));
    QVERIFY(NDIlib_initialize());
    CameraSimulator::Config config;
    config.baseAddress = Base;
    config.cameraCount = 3;
    config.speedScale = 2;
    simulator = std::make_unique<CameraSimulator>(config);
}

void TestCamSimNdi::cleanupTestCase()
{
    simulator.reset();
    NDIlib_destroy();
}

void TestCamSimNdi::finderSeesTheSimulatorWhenItStarts()
{
    const NdiFindCreateSettings settings{true, nullptr, nullptr};
    NdiFinderHandle finder = NDIlib_find_create_v2(&settings);
    QVERIFY(finder);
    uint32_t count = 99;
    NDIlib_find_get_current_sources(finder, &count);
    QCOMPARE(count, 0u);
    QVERIFY(!NDIlib_find_wait_for_sources(finder, 300));

    std::string error;
    QVERIFY2(simulator->start(error), error.c_str());
    QVERIFY(NDIlib_find_wait_for_sources(finder, 2000));
    const NdiSource *sources = NDIlib_find_get_current_sources(finder, &count);
    QCOMPARE(count, 3u);
    QCOMPARE(QString(sources[0].ndiName), QString("CAMSIM (PTZ Camera 1)"));
    QCOMPARE(QString(sources[0].urlAddress), QString("127.0.7.120:5961"));
    QCOMPARE(QString(sources[2].ndiName), QString("CAMSIM (PTZ Camera 3)"));
    QCOMPARE(QString(sources[2].urlAddress), QString("127.0.7.122:5961"));
    QVERIFY(!NDIlib_find_wait_for_sources(finder, 400)); // nothing changed since
    NDIlib_find_destroy(finder);
}

// Each camera's own frame rate; a receiver finds its source by name alone, and by URL address
// when it has no name. The program's own "MACHINE(STREAM)" reaches the camera too.
void TestCamSimNdi::framesCarryTheCamerasFormat()
{
    for (const auto &[name, url, rate] :
         {std::tuple("CAMSIM (PTZ Camera 1)", "127.0.7.120:5961", 60000 / 1001.0), // 1080p59.94
          std::tuple("CAMSIM (PTZ Camera 2)", static_cast<const char *>(nullptr), 50.0), // 1080p50
          std::tuple("", "127.0.7.121:5961", 50.0),
          std::tuple("CAMSIM(PTZ Camera 3)", static_cast<const char *>(nullptr), 30000 / 1001.0)}) {
        NdiReceiverHandle receiver = openPreviewReceiver(name, url);
        QVERIFY2(receiver, name);
        Frame frame;
        QVERIFY(capture(receiver, frame));
        QCOMPARE(frame.width, 640);
        QCOMPARE(frame.height, 360);
        QCOMPARE(frame.record.fourCC, NdiFourCCBgrx);
        QCOMPARE(frame.record.lineStrideBytes, 640 * 4);
        QCOMPARE(double(frame.record.frameRateN) / frame.record.frameRateD, rate);
        QCOMPARE(frame.record.frameFormat, NdiFrameFormatProgressive);
        NDIlib_recv_destroy(receiver);
    }
    QVERIFY(!openPreviewReceiver("CAMSIM (PTZ Camera 9)", nullptr));
    QVERIFY(!NDIlib_recv_create_v3(nullptr));
    // A name goes before the URL address: one no source has finds nothing, wherever it points.
    NdiRecvCreateSettings byDisplayName{};
    byDisplayName.source = {"CAMSIM(PTZ Camera 1)", "127.0.7.120:5961"};
    QVERIFY(!NDIlib_recv_create_v3(&byDisplayName));
}

void TestCamSimNdi::panningMovesThePicture()
{
    SimCamera &camera = simulator->camera(0);
    camera.placeAt({0, uint16_t(-120), 0x0800, 0x1000}); // looking down on the home straight
    NdiReceiverHandle receiver = openPreviewReceiver("CAMSIM (PTZ Camera 1)", "127.0.7.120:5961");
    Frame before;
    QVERIFY(capture(receiver, before));
    const CamSim::ViewState from = camera.view(SimCamera::Clock::now());

    ViscaClient joystick(camera.address());
    joystick.send(ViscaClient::encode(3, 0x23, 2, 0)); // right, tilt still
    QTest::qWait(300);
    joystick.send(ViscaClient::encode(13));
    QTest::qWait(50);
    const CamSim::ViewState to = camera.view(SimCamera::Clock::now());
    QVERIFY(to.panDegrees > from.panDegrees);
    Frame after;
    QVERIFY(capture(receiver, after));
    QVERIFY(capture(receiver, after)); // a frame drawn after the stop
    NDIlib_recv_destroy(receiver);

    // Panning right slides the course to the left by the angle turned.
    const int expected =
        int(std::lround((to.panDegrees - from.panDegrees) * 640 / from.fieldOfViewDegrees));
    QVERIFY(expected > 5);
    const int shift = bestShift(before, after, 120);
    QVERIFY2(std::abs(shift + expected) <= 2,
             qPrintable(QString("shift %1, expected %2").arg(shift).arg(-expected)));
}

void TestCamSimNdi::numberedMarkersAreOnTheCourse()
{
    SimCamera &camera = simulator->camera(1);
    const CameraModel &model = camera.profile().model;
    NdiReceiverHandle receiver = openPreviewReceiver("CAMSIM (PTZ Camera 2)", "127.0.7.121:5961");
    for (int marker : {1, 4, 7, 10}) {
        double pan = 0;
        double tilt = 0;
        CoursePanorama::markerDirection(marker, pan, tilt);
        camera.placeAt({uint16_t(std::lround(pan * model.panUnitsPerDegree)),
                        uint16_t(std::lround(tilt * model.tiltUnitsPerDegree)), 0x3000, 0x1000});
        Frame frame;
        QVERIFY(capture(receiver, frame));
        QVERIFY(capture(receiver, frame));
        // The board's yellow fills the middle of the picture.
        int yellow = 0;
        for (int y = 150; y < 210; ++y) {
            for (int x = 290; x < 350; ++x) {
                const uint8_t *p = &frame.pixels[size_t(y) * 2560 + size_t(x) * 4];
                yellow += p[2] > 200 && p[1] > 170 && p[0] < 110;
            }
        }
        QVERIFY2(yellow > 600, qPrintable(QString("marker %1: %2").arg(marker).arg(yellow)));
    }
    NDIlib_recv_destroy(receiver);
}

void TestCamSimNdi::captureKeepsToTimeoutAndFrameRate()
{
    NdiReceiverHandle receiver = openPreviewReceiver("CAMSIM (PTZ Camera 3)", "127.0.7.122:5961");
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(NDIlib_recv_capture_v2(receiver, nullptr, nullptr, nullptr, 150), NdiFrameTypeNone);
    QVERIFY(timer.elapsed() >= 140);

    // Camera 3 sends 1080p29.97: about 30 pictures a second however fast it is asked.
    Frame frame;
    QVERIFY(capture(receiver, frame));
    timer.restart();
    int frames = 0;
    while (timer.elapsed() < 1000)
        frames += capture(receiver, frame);
    QVERIFY2(frames >= 22 && frames <= 32, qPrintable(QString::number(frames)));
    NDIlib_recv_destroy(receiver);
}

QTEST_GUILESS_MAIN(TestCamSimNdi)
#include "tst_camsim_ndi.moc"
