#include "tools/camsim/simnetwork.h"

#include "camera_control/viscasocket.h"
#include "tools/camsim/common/camsimprotocol.h"
#include "tools/camsim/loopbacksocket.h"
#include "tools/camsim/simcamera.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using LoopbackSocket::Type;

constexpr uint16_t WebPort = 8080;
constexpr size_t MaxRequest = 8192;

} // namespace

SimNetwork::SimNetwork(std::vector<SimCamera *> cameraList, std::string directoryText)
    : cameras(std::move(cameraList))
    , directory(std::move(directoryText))
    , sockets(cameras.size())
{
}

SimNetwork::~SimNetwork()
{
    stop();
}

bool SimNetwork::bindCamera(SimCamera *camera, CameraSockets &s, std::string &error)
{
    const std::string &address = camera->address();
    s.visca = LoopbackSocket::open(Type::Udp, address, VISCASocket::Port, true, error);
    s.web =
        s.visca < 0 ? -1 : LoopbackSocket::open(Type::TcpListener, address, WebPort, true, error);
    s.stream =
        s.web < 0 ? -1 : LoopbackSocket::open(Type::Udp, address, CamSim::StreamPort, true, error);
    return s.stream >= 0;
}

bool SimNetwork::start(std::string &error)
{
    if (running || cameras.empty()) {
        error = running ? "already running" : "no cameras";
        return false;
    }
    bool bound = pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) == 0;
    for (size_t i = 0; bound && i < cameras.size(); ++i)
        bound = bindCamera(cameras[i], sockets[i], error);
    if (bound) {
        directoryFd = LoopbackSocket::open(Type::Udp, cameras.front()->address(),
                                           CamSim::DirectoryPort, true, error);
        bound = directoryFd >= 0;
    }
    if (!bound) {
        closeAll();
        return false;
    }
    running = true;
    thread = std::thread([this] { run(); });
    return true;
}

void SimNetwork::stop()
{
    if (!running.exchange(false))
        return;
    const char wake = 1;
    (void)!write(wakeFds[1], &wake, 1);
    thread.join();
    closeAll();
}

void SimNetwork::closeAll()
{
    for (CameraSockets &s : sockets) {
        LoopbackSocket::close(s.visca);
        LoopbackSocket::close(s.web);
        LoopbackSocket::close(s.stream);
    }
    for (auto &client : webClients)
        close(client.first);
    webClients.clear();
    timers.clear();
    LoopbackSocket::close(directoryFd);
    LoopbackSocket::close(wakeFds[0]);
    LoopbackSocket::close(wakeFds[1]);
}

int SimNetwork::nextTimeoutMs() const
{
    if (timers.empty())
        return 1000;
    const auto wait = timers.begin()->first - Clock::now();
    // Round up so that a timer is never polled for before it is due.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    return int(std::max<long long>(0, std::min<long long>(ms, 1000)));
}

void SimNetwork::runDueTimers()
{
    const Clock::time_point now = Clock::now();
    while (!timers.empty() && timers.begin()->first <= now) {
        auto action = std::move(timers.begin()->second);
        timers.erase(timers.begin());
        action();
    }
}

void SimNetwork::run()
{
    std::vector<pollfd> fds;
    std::vector<std::function<void()>> handlers;
    while (running) {
        fds.clear();
        handlers.clear();
        auto watch = [&](int fd, std::function<void()> handler) {
            fds.push_back({fd, POLLIN, 0});
            handlers.push_back(std::move(handler));
        };
        watch(wakeFds[0], [] {});
        watch(directoryFd, [this] { serveText(directoryFd, CamSim::SourcesRequest, directory); });
        for (size_t i = 0; i < cameras.size(); ++i) {
            SimCamera *camera = cameras[i];
            const CameraSockets s = sockets[i];
            watch(s.visca, [this, camera, s] { serveVisca(camera, s.visca); });
            watch(s.stream, [this, camera, s] {
                serveText(s.stream, CamSim::ViewRequest,
                          CamSim::encodeView(camera->view(Clock::now())));
            });
            watch(s.web, [this, camera, s] { acceptWeb(camera, s.web); });
        }
        for (const auto &client : webClients) {
            const int fd = client.first;
            watch(fd, [this, fd] { readWeb(fd); });
        }
        if (poll(fds.data(), fds.size(), nextTimeoutMs()) > 0) {
            for (size_t i = 0; i < fds.size(); ++i) {
                if (fds[i].revents & (POLLIN | POLLERR | POLLHUP))
                    handlers[i]();
            }
        }
        runDueTimers();
    }
}

void SimNetwork::serveVisca(SimCamera *camera, int fd)
{
    std::vector<uint8_t> datagram;
    sockaddr_in from{};
    if (!LoopbackSocket::receive(fd, datagram, from) || datagram.empty())
        return;
    const Clock::time_point now = Clock::now();
    for (SimCamera::Outgoing &reply : camera->handleVisca(datagram.data(), datagram.size(), now)) {
        if (reply.due <= now) {
            LoopbackSocket::sendTo(fd, reply.bytes, from);
            continue;
        }
        timers.emplace(reply.due, [this, camera, fd, from, reply] {
            if (camera->isCurrent(reply.block, reply.token))
                LoopbackSocket::sendTo(fd, reply.bytes, from);
        });
    }
}

// The preview view and the directory answer one fixed request each.
void SimNetwork::serveText(int fd, const std::string &request, const std::string &answer)
{
    std::vector<uint8_t> datagram;
    sockaddr_in from{};
    if (LoopbackSocket::receive(fd, datagram, from) &&
        std::string(datagram.begin(), datagram.end()) == request)
        LoopbackSocket::sendTo(fd, std::vector<uint8_t>(answer.begin(), answer.end()), from);
}

void SimNetwork::acceptWeb(SimCamera *camera, int listener)
{
    const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0)
        webClients[fd] = {camera, nextWebClientId++, {}, false};
}

void SimNetwork::readWeb(int fd)
{
    auto found = webClients.find(fd);
    if (found == webClients.end())
        return;
    WebClient &client = found->second;
    char buffer[2048];
    const ssize_t size = recv(fd, buffer, sizeof buffer, 0);
    if (size <= 0 || client.received.size() > MaxRequest) {
        closeWeb(fd);
        return;
    }
    client.received.append(buffer, size_t(size));
    if (client.answered || client.received.find("\r\n\r\n") == std::string::npos)
        return;
    client.answered = true;
    int delayMs = 0;
    const std::string response = client.camera->httpResponse(client.received, delayMs);
    if (response.empty()) // a silent camera: the request stays unanswered until the client quits
        return;
    // The whole answer in one write, so that the first read of the client has all of it.
    const uint64_t id = client.id;
    timers.emplace(Clock::now() + std::chrono::milliseconds(delayMs), [this, fd, id, response] {
        const auto open = webClients.find(fd);
        if (open != webClients.end() && open->second.id == id) {
            (void)!send(fd, response.data(), response.size(), MSG_NOSIGNAL);
            closeWeb(fd);
        }
    });
}

void SimNetwork::closeWeb(int fd)
{
    webClients.erase(fd);
    close(fd);
}
