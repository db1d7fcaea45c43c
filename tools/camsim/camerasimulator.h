#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/camsim/simcamera.h"

class SimNetwork;

// A network of simulated PTZ cameras on consecutive loopback addresses. Each camera answers
// VISCA over IP, its web interface and its preview view; the first camera's address also
// serves the directory through which the simulated NDI runtime finds them all.
class CameraSimulator
{
public:
    struct Config
    {
        std::string baseAddress = "127.0.0.10";
        int cameraCount = 4;
        double speedScale = 1.0; // every camera this much faster: tests shorten their runs
        // Per camera; cameras without an entry get defaultProfile(index).
        std::vector<CameraProfile> profiles;
    };

    explicit CameraSimulator(const Config &config);
    ~CameraSimulator();
    CameraSimulator(const CameraSimulator &) = delete;
    CameraSimulator &operator=(const CameraSimulator &) = delete;

    // False with a reason when an address is not usable or a port is taken.
    bool start(std::string &error);
    void stop();

    int cameraCount() const { return int(cameraList.size()); }
    SimCamera &camera(int index) { return *cameraList.at(size_t(index)); }
    const SimCamera &camera(int index) const { return *cameraList.at(size_t(index)); }
    const std::string &baseAddress() const { return base; }

    // A mixed set: R520 heads and slower P310 heads, different speeds and video formats.
    static CameraProfile defaultProfile(int index);
    // "2:silent", "3:drop=0.3", "1:late=250", "4:no-completion", "2:stray" (cameras from 1).
    static bool parseFault(const std::string &spec, int &cameraIndex, CameraFaults &faults,
                           std::string &error);

private:
    std::string base;
    std::vector<std::unique_ptr<SimCamera>> cameraList;
    std::unique_ptr<SimNetwork> network;
};
