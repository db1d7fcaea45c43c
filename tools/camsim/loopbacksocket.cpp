#include "tools/camsim/loopbacksocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace LoopbackSocket {

bool endpoint(const std::string &address, uint16_t port, sockaddr_in &out)
{
    out = {};
    out.sin_family = AF_INET;
    out.sin_port = htons(port);
    return inet_pton(AF_INET, address.c_str(), &out.sin_addr) == 1 &&
           ntohl(out.sin_addr.s_addr) >> 24 == 127;
}

std::string addressOf(const sockaddr_in &endpoint)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &endpoint.sin_addr, text, sizeof text);
    return text;
}

int open(Type type, const std::string &address, uint16_t port, bool nonBlocking, std::string &error)
{
    const std::string where = address + ":" + std::to_string(port);
    sockaddr_in local{};
    if (!endpoint(address, port, local)) {
        error = where + ": not a loopback address";
        return -1;
    }
    const int kind = type == Type::Udp ? SOCK_DGRAM : SOCK_STREAM;
    const int fd = socket(AF_INET, kind | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    if (type == Type::TcpListener) {
        // A listener of an earlier run may leave its port in TIME_WAIT.
        const int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    if (bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0 ||
        (type == Type::TcpListener && listen(fd, 16) != 0)) {
        error = where + ": " + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

int open(Type type, const std::string &address, uint16_t port, bool nonBlocking)
{
    std::string error;
    return open(type, address, port, nonBlocking, error);
}

void close(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool receive(int fd, std::vector<uint8_t> &bytes, sockaddr_in &from)
{
    uint8_t buffer[2048];
    socklen_t fromSize = sizeof from;
    const ssize_t size =
        recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&from), &fromSize);
    if (size < 0)
        return false;
    bytes.assign(buffer, buffer + size);
    return true;
}

void sendTo(int fd, const std::vector<uint8_t> &bytes, const sockaddr_in &to)
{
    sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
}

} // namespace LoopbackSocket
