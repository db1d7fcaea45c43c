#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A camera's web interface on a loopback address (port 8080 by default). Each path answers
// with the body set for it after its delay; unknown paths get 404. Every request is served
// on its own thread, so a slow answer does not hold up the next request.
class LoopbackHttpServer
{
public:
    struct Response
    {
        std::string body;
        std::chrono::milliseconds delay{0};
        int status = 200;
        std::string contentType = "text/plain";
        // When set, the body goes out in two halves with this pause between them.
        std::chrono::milliseconds secondHalfDelay{0};
    };

    explicit LoopbackHttpServer(const std::string &address, uint16_t port = 8080);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer &) = delete;
    LoopbackHttpServer &operator=(const LoopbackHttpServer &) = delete;

    bool isListening() const { return listenFd >= 0; }
    void setResponse(const std::string &path, Response response);
    std::vector<std::string> requestedPaths() const;

private:
    void acceptLoop();
    void serve(int connection);
    void pause(std::chrono::milliseconds delay) const;

    int listenFd = -1;
    std::atomic<bool> stopping{false};

    mutable std::mutex mutex; // guards responses, requests and connections
    std::map<std::string, Response> responses;
    std::vector<std::string> requests;
    std::vector<std::thread> connections;

    std::thread acceptor;
};
