#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class SimCamera;

// The sockets of every simulated camera and one thread that serves them: VISCA on UDP 52381,
// the web interface on TCP 8080 and the preview view on UDP 5961 at each camera's address,
// and the directory of cameras on UDP 5960 at the first camera's address. Replies that are
// due later (late completions, delayed answers) wait in a timer queue on the same thread.
class SimNetwork
{
public:
    using Clock = std::chrono::steady_clock;

    SimNetwork(std::vector<SimCamera *> cameras, std::string directoryText);
    ~SimNetwork();
    SimNetwork(const SimNetwork &) = delete;
    SimNetwork &operator=(const SimNetwork &) = delete;

    // Binds every socket, then starts the thread; false with a reason when an address or
    // port is taken or unusable.
    bool start(std::string &error);
    void stop();

private:
    struct CameraSockets
    {
        int visca = -1;
        int web = -1;
        int stream = -1;
    };
    struct WebClient
    {
        SimCamera *camera = nullptr;
        uint64_t id = 0; // a closed descriptor's number comes back for the next client
        std::string received;
        bool answered = false;
    };

    bool bindCamera(SimCamera *camera, CameraSockets &sockets, std::string &error);
    void run();
    int nextTimeoutMs() const;
    void runDueTimers();
    void serveVisca(SimCamera *camera, int fd);
    void serveText(int fd, const std::string &request, const std::string &answer);
    void acceptWeb(SimCamera *camera, int listener);
    void readWeb(int fd);
    void closeWeb(int fd);
    void closeAll();

    std::vector<SimCamera *> cameras;
    std::string directory;
    std::vector<CameraSockets> sockets;
    int directoryFd = -1;
    int wakeFds[2] = {-1, -1};
    std::map<int, WebClient> webClients; // only the network thread touches it
    std::multimap<Clock::time_point, std::function<void()>> timers; // likewise
    uint64_t nextWebClientId = 1;
    std::thread thread;
    std::atomic<bool> running{false};
};
