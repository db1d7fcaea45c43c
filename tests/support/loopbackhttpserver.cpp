#include "support/loopbackhttpserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int listeningSocket(const std::string &address, uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &local.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local) == 0 &&
        ::listen(fd, 16) == 0)
        return fd;
    ::close(fd);
    return -1;
}

// The request line's path, read once the whole header has arrived.
std::string readRequestPath(int connection)
{
    std::string request;
    char chunk[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t size = ::recv(connection, chunk, sizeof chunk, 0);
        if (size <= 0)
            break;
        request.append(chunk, size_t(size));
    }
    const size_t start = request.find(' ');
    const size_t end = request.find(' ', start + 1);
    if (start == std::string::npos || end == std::string::npos)
        return {};
    return request.substr(start + 1, end - start - 1);
}

std::string statusText(int status)
{
    return status == 200 ? "OK" : "Not Found";
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(const std::string &address, uint16_t port)
    : listenFd(listeningSocket(address, port))
    , wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (listenFd >= 0)
        acceptor = std::thread([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stopping = true;
    const uint64_t one = 1;
    (void)!::write(wakeFd, &one, sizeof one);
    if (acceptor.joinable())
        acceptor.join();
    for (std::thread &connection : connections)
        connection.join();
    if (listenFd >= 0)
        ::close(listenFd);
    ::close(wakeFd);
}

void LoopbackHttpServer::setResponse(const std::string &path, Response response)
{
    std::lock_guard<std::mutex> lock(mutex);
    responses[path] = std::move(response);
}

std::vector<std::string> LoopbackHttpServer::requestedPaths() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return requests;
}

LoopbackHttpServer::Response LoopbackHttpServer::responseFor(const std::string &path) const
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto found = responses.find(path);
    if (found == responses.end())
        return {"not found", std::chrono::milliseconds(0), 404, "text/plain"};
    return found->second;
}

void LoopbackHttpServer::acceptLoop()
{
    for (;;) {
        pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        ::poll(fds, 2, -1);
        if (fds[1].revents & POLLIN)
            return;
        const int connection = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        std::lock_guard<std::mutex> lock(mutex);
        connections.emplace_back([this, connection] { serve(connection); });
    }
}

void LoopbackHttpServer::serve(int connection)
{
    const std::string path = readRequestPath(connection);
    {
        std::lock_guard<std::mutex> lock(mutex);
        requests.push_back(path);
    }
    const Response response = responseFor(path);
    pause(response.delay);
    const std::string header = "HTTP/1.1 " + std::to_string(response.status) + " " +
                               statusText(response.status) +
                               "\r\nContent-Type: " + response.contentType +
                               "\r\nContent-Length: " + std::to_string(response.body.size()) +
                               "\r\nConnection: close\r\n\r\n";
    const size_t firstPart =
        response.secondHalfDelay.count() > 0 ? response.body.size() / 2 : response.body.size();
    const std::string first = header + response.body.substr(0, firstPart);
    // The client may have given up already; MSG_NOSIGNAL keeps that from killing the test.
    ::send(connection, first.data(), first.size(), MSG_NOSIGNAL);
    if (firstPart < response.body.size()) {
        pause(response.secondHalfDelay);
        ::send(connection, response.body.data() + firstPart, response.body.size() - firstPart,
               MSG_NOSIGNAL);
    }
    ::close(connection);
}

// Sleeps in short steps so that the server's destruction is not held up by a slow answer.
void LoopbackHttpServer::pause(std::chrono::milliseconds delay) const
{
    const auto due = std::chrono::steady_clock::now() + delay;
    while (!stopping && std::chrono::steady_clock::now() < due)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}
