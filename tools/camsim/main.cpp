// trevalo-camsim: a network of simulated PTZ cameras on loopback addresses, running until
// interrupted. Trevalo reaches them over VISCA and HTTP as real cameras, and through the
// simulated NDI runtime (NDI_RUNTIME_DIR_V6) for discovery and preview.
#include "tools/camsim/camerasimulator.h"
#include "tools/camsim/common/camsimprotocol.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

bool applyOptions(const QCommandLineParser &parser, CameraSimulator::Config &config,
                  std::vector<std::pair<int, CameraFaults>> &faults)
{
    bool ok = true;
    config.cameraCount = parser.value("cameras").toInt(&ok);
    if (!ok || config.cameraCount < 1 || config.cameraCount > 10) {
        std::fprintf(stderr, "trevalo-camsim: --cameras takes 1 to 10\n");
        return false;
    }
    config.baseAddress = parser.value("base").toStdString();
    config.speedScale = parser.value("speed-scale").toDouble(&ok);
    if (!ok || config.speedScale <= 0) {
        std::fprintf(stderr, "trevalo-camsim: --speed-scale takes a positive number\n");
        return false;
    }
    std::vector<CameraFaults> perCamera(size_t(config.cameraCount));
    for (const QString &spec : parser.values("fault")) {
        int index = 0;
        CameraFaults parsed;
        std::string error;
        const int camera = spec.section(':', 0, 0).toInt() - 1;
        if (camera >= 0 && camera < config.cameraCount)
            parsed = perCamera[size_t(camera)];
        if (!CameraSimulator::parseFault(spec.toStdString(), index, parsed, error) ||
            index >= config.cameraCount) {
            std::fprintf(stderr, "trevalo-camsim: %s\n",
                         error.empty() ? "no such camera" : error.c_str());
            return false;
        }
        perCamera[size_t(index)] = parsed;
        faults.emplace_back(index, parsed);
    }
    return true;
}

void printCameras(CameraSimulator &simulator)
{
    for (int i = 0; i < simulator.cameraCount(); ++i) {
        const SimCamera &camera = simulator.camera(i);
        const CameraProfile &p = camera.profile();
        const CameraFaults f = camera.faults();
        std::printf("camera %d: %s at %s, Korvane %s %s, %s, speed x%.2f%s%s%s%s%s\n", i + 1,
                    CamSim::ndiName(i).c_str(), camera.address().c_str(), p.model.name.c_str(),
                    p.firmware.c_str(), p.videoFormat.c_str(), p.speedFactor,
                    f.silent ? ", silent" : "", f.dropShare > 0 ? ", drops datagrams" : "",
                    f.lateMs > 0 ? ", late" : "", f.noCompletion ? ", no completions" : "",
                    f.strayReplies ? ", stray replies" : "");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Simulated PTZ cameras for Trevalo: VISCA over IP (UDP 52381), web interface "
        "(TCP 8080) and NDI preview through the simulated runtime.");
    parser.addHelpOption();
    parser.addOptions({
        {"cameras", "Number of cameras (1-10).", "n", "4"},
        {"base", "Address of the first camera; the others follow it.", "address",
         CamSim::DefaultBaseAddress},
        {"speed-scale", "Makes every camera this much faster.", "factor", "1"},
        {"fault",
         "A fault of one camera, counted from 1: N:silent, N:drop=SHARE, N:late=MS, "
         "N:no-completion, N:stray. Repeatable.",
         "spec"},
    });
    parser.process(app);

    CameraSimulator::Config config;
    std::vector<std::pair<int, CameraFaults>> faults;
    if (!applyOptions(parser, config, faults))
        return 2;

    // Blocked before any thread starts, so that only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    CameraSimulator simulator(config);
    for (const auto &fault : faults)
        simulator.camera(fault.first).setFaults(fault.second);
    std::string error;
    if (!simulator.start(error)) {
        std::fprintf(stderr, "trevalo-camsim: %s\n", error.c_str());
        return 1;
    }
    printCameras(simulator);
    std::printf("camsim: ready, directory at %s:%u\n", simulator.baseAddress().c_str(),
                unsigned(CamSim::DirectoryPort));
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    simulator.stop();
    std::printf("camsim: stopped\n");
    return 0;
}
