// Round trips of the VISCA exchanges against a simulated camera that answers at once, next to
// a plain UDP round trip to the same camera (the floor), and the encoder's throughput.
#include "camera_control/viscacommandfactory.h"
#include "camera_control/viscasocket.h"
#include "tools/camsim/camerasimulator.h"
#include "tools/camsim/loopbacksocket.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Rounds = 3000;
constexpr int WarmUp = 200;
const char *const CameraAddress = "127.0.5.1";

struct Figures
{
    double median;
    double p99;
};

Figures measure(const std::function<void()> &exchange)
{
    for (int i = 0; i < WarmUp; ++i)
        exchange();
    std::vector<double> micros;
    micros.reserve(Rounds);
    for (int i = 0; i < Rounds; ++i) {
        const Clock::time_point start = Clock::now();
        exchange();
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(micros.begin(), micros.end());
    return {micros[micros.size() / 2], micros[micros.size() * 99 / 100]};
}

std::vector<uint8_t> encoded(int32_t type, int32_t p1, int32_t p2, int32_t p3)
{
    return VISCACommandFactory::instance().encode(type, p1, p2, p3, 1000);
}

// The same inquiry and reply through a socket of our own, without the exchange rules.
std::function<void()> plainRoundTrip(int fd, const std::vector<uint8_t> &inquiry)
{
    sockaddr_in camera{};
    LoopbackSocket::endpoint(CameraAddress, VISCASocket::Port, camera);
    return [fd, camera, inquiry] {
        uint8_t reply[64];
        sendto(fd, inquiry.data(), inquiry.size(), 0, reinterpret_cast<const sockaddr *>(&camera),
               sizeof camera);
        recv(fd, reply, sizeof reply, 0);
    };
}

void report(const char *name, Figures figures, Figures floor)
{
    std::printf("%-34s median %8.1f us  p99 %8.1f us  (x%.2f / x%.2f of plain UDP)\n", name,
                figures.median, figures.p99, figures.median / floor.median,
                figures.p99 / floor.p99);
}

void roundTrips()
{
    CameraSimulator::Config config;
    config.baseAddress = CameraAddress;
    config.cameraCount = 1;
    CameraSimulator simulator(config);
    std::string error;
    if (!simulator.start(error)) {
        std::printf("%s\n", error.c_str());
        return;
    }
    // Already at the move's target, so its completion follows the acknowledgement at once.
    simulator.camera(0).placeAt({0xFC18, 0x0005, 0x1A2B, 0x1A2B});
    VISCASocket *socket = &VISCASocket::instance();
    const std::vector<uint8_t> panTilt = encoded(VISCACommandType::PanTiltInq, 0, 0, 0);
    const std::vector<uint8_t> zoom = encoded(VISCACommandType::ZoomInq, 0, 0, 0);
    const std::vector<uint8_t> move =
        encoded(VISCACommandType::PanTiltAbsCmd, 9 * 257, 0xFC18, 0x0005);

    int fd = LoopbackSocket::open(LoopbackSocket::Type::Udp, "127.0.0.1", 0);
    const Figures floor = measure(plainRoundTrip(fd, panTilt));
    LoopbackSocket::close(fd);

    const Figures panTiltFigures = measure([&] {
        uint32_t length = uint32_t(panTilt.size());
        int64_t pan = 0;
        int64_t tilt = 0;
        VISCASocket::inquirePanTilt(socket, panTilt.data(), &length, CameraAddress, &pan, &tilt);
    });
    const Figures valueFigures = measure([&] {
        uint32_t length = uint32_t(zoom.size());
        int64_t value = 0;
        VISCASocket::inquireValue(socket, zoom.data(), &length, CameraAddress, &value);
    });
    const Figures commandFigures = measure([&] {
        uint32_t length = uint32_t(move.size());
        const bool wait = true;
        VISCASocket::sendCommand(socket, move.data(), &length, CameraAddress, &wait, &wait);
    });

    std::printf("Round trips to a simulated camera answering at once (%d rounds each):\n", Rounds);
    report("plain UDP round trip (floor)", floor, floor);
    report("inquirePanTilt", panTiltFigures, floor);
    report("inquireValue", valueFigures, floor);
    report("sendCommand ack + completion", commandFigures, floor);
}

void encodeThroughput()
{
    constexpr int Encodes = 2000000;
    uint8_t buffer[VISCACommand::MaxDatagramSize];
    uint32_t length = 0;
    uint64_t checksum = 0;

    std::vector<std::unique_ptr<VISCACommand>> commands;
    for (int32_t type = 0; type <= VISCACommandType::PanTiltStop; ++type)
        commands.push_back(VISCACommandFactory::instance().create(type).command);
    Clock::time_point start = Clock::now();
    for (uint32_t counter = 0; counter < uint32_t(Encodes); ++counter) {
        VISCACommand &command = *commands[counter % commands.size()];
        command.param2 = int32_t(counter & 0xFFFF);
        command.encode(buffer, &length, &counter);
        checksum += buffer[length - 2];
    }
    const double encodeNs =
        std::chrono::duration<double, std::nano>(Clock::now() - start).count() / Encodes;

    start = Clock::now();
    for (uint32_t counter = 0; counter < uint32_t(Encodes); ++counter) {
        VISCACommandFactory::Result created =
            VISCACommandFactory::instance().create(int32_t(counter % 14));
        created.command->encode(buffer, &length, &counter);
        checksum += length;
    }
    const double createNs =
        std::chrono::duration<double, std::nano>(Clock::now() - start).count() / Encodes;

    std::printf("Encoding, all fourteen commands in turn (%d each run, checksum %llu):\n", Encodes,
                static_cast<unsigned long long>(checksum));
    std::printf("%-34s %8.1f ns  (%.1f million/s)\n", "encode", encodeNs, 1000.0 / encodeNs);
    std::printf("%-34s %8.1f ns  (%.1f million/s)\n", "create + encode + destroy", createNs,
                1000.0 / createNs);
}

} // namespace

int main()
{
    roundTrips();
    encodeThroughput();
    return 0;
}
