#include "support/loopbackhttpserver.h"

#include "tools/camsim/loopbacksocket.h"

#include <sys/socket.h>
#include <unistd.h>

namespace {

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

} // namespace

LoopbackHttpServer::LoopbackHttpServer(const std::string &address, uint16_t port)
    : listenFd(LoopbackSocket::open(LoopbackSocket::Type::TcpListener, address, port))
{
    if (listenFd >= 0)
        acceptor = std::thread([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stopping = true;
    ::shutdown(listenFd, SHUT_RDWR); // ends the acceptor's accept()
    if (acceptor.joinable())
        acceptor.join();
    for (std::thread &connection : connections)
        connection.join();
    LoopbackSocket::close(listenFd);
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

void LoopbackHttpServer::acceptLoop()
{
    while (!stopping) {
        const int connection = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        std::lock_guard<std::mutex> lock(mutex);
        if (connection >= 0)
            connections.emplace_back([this, connection] { serve(connection); });
    }
}

void LoopbackHttpServer::serve(int connection)
{
    const std::string path = readRequestPath(connection);
    Response response{"not found", std::chrono::milliseconds(0), 404};
    {
        std::lock_guard<std::mutex> lock(mutex);
        requests.push_back(path);
        if (responses.count(path))
            response = responses[path];
    }
    pause(response.delay);
    const std::string header = "HTTP/1.1 " + std::to_string(response.status) +
                               (response.status == 200 ? " OK" : " Not Found") +
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
