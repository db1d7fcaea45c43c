#include "tools/camsim/camerasimulator.h"

#include "tools/camsim/common/camsimprotocol.h"
#include "tools/camsim/simnetwork.h"

#include <cstdlib>

CameraSimulator::CameraSimulator(const Config &config)
    : base(config.baseAddress)
{
    for (int i = 0; i < config.cameraCount; ++i) {
        const CameraProfile profile =
            size_t(i) < config.profiles.size() ? config.profiles[size_t(i)] : defaultProfile(i);
        cameraList.push_back(
            std::make_unique<SimCamera>(i, CamSim::addressAt(base, i), profile, config.speedScale));
    }
}

CameraSimulator::~CameraSimulator()
{
    stop();
}

bool CameraSimulator::start(std::string &error)
{
    if (network) {
        error = "already running";
        return false;
    }
    std::vector<SimCamera *> cameras;
    std::vector<CamSim::SourceEntry> sources;
    for (const auto &camera : cameraList) {
        if (camera->address().empty()) {
            error = "no loopback address for camera " + std::to_string(camera->index() + 1) +
                    " after " + base;
            return false;
        }
        cameras.push_back(camera.get());
        sources.push_back(
            {CamSim::ndiName(camera->index()), CamSim::urlAddress(camera->address())});
    }
    auto candidate = std::make_unique<SimNetwork>(cameras, CamSim::encodeSources(sources));
    if (!candidate->start(error))
        return false;
    network = std::move(candidate);
    return true;
}

void CameraSimulator::stop()
{
    if (network)
        network->stop();
    network.reset();
}

CameraProfile CameraSimulator::defaultProfile(int index)
{
    static const double speedFactors[] = {1.0, 0.7, 0.85, 0.55, 0.95, 0.65};
    static const char *const formats[] = {"1080p59.94", "1080p50", "1080p29.97", "720p59.94"};
    CameraProfile profile;
    profile.model = index % 2 == 0 ? CameraModel::r520() : CameraModel::p310();
    profile.firmware = index % 2 == 0 ? "v2.4.1" : "v1.9.3";
    profile.videoFormat = formats[index % 4];
    profile.speedFactor = speedFactors[index % 6];
    // Spread along the far side of the course, looking down on the track.
    profile.startPanDegrees = 45.0 - 30.0 * (index % 4);
    profile.startTiltDegrees = -4;
    profile.startZoom = 0x0600;
    return profile;
}

bool CameraSimulator::parseFault(const std::string &spec, int &cameraIndex, CameraFaults &faults,
                                 std::string &error)
{
    const size_t colon = spec.find(':');
    char *end = nullptr;
    const long camera = std::strtol(spec.c_str(), &end, 10);
    if (colon == std::string::npos || end != spec.c_str() + colon || camera < 1) {
        error = "expected <camera>:<fault>, cameras counted from 1: " + spec;
        return false;
    }
    const std::string fault = spec.substr(colon + 1);
    const size_t equals = fault.find('=');
    const std::string name = fault.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : fault.substr(equals + 1);
    CameraFaults changed = faults;
    if (name == "silent") {
        changed.silent = true;
    } else if (name == "no-completion") {
        changed.noCompletion = true;
    } else if (name == "stray") {
        changed.strayReplies = true;
    } else if (name == "drop" && !value.empty()) {
        changed.dropShare = std::strtod(value.c_str(), &end);
        if (*end || changed.dropShare < 0 || changed.dropShare > 1) {
            error = "drop takes a share from 0 to 1: " + spec;
            return false;
        }
    } else if (name == "late" && !value.empty()) {
        changed.lateMs = int(std::strtol(value.c_str(), &end, 10));
        if (*end || changed.lateMs < 0) {
            error = "late takes milliseconds: " + spec;
            return false;
        }
    } else {
        error = "unknown fault (silent, drop=<share>, late=<ms>, no-completion, stray): " + spec;
        return false;
    }
    cameraIndex = int(camera - 1);
    faults = changed;
    return true;
}
