#include "tools/camsim/ndiruntime/udpchannel.h"

#include "tools/camsim/loopbacksocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

UdpChannel::UdpChannel(const std::string &address, uint16_t port)
{
    sockaddr_in to{};
    if (!LoopbackSocket::endpoint(address, port, to))
        return;
    fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && connect(fd, reinterpret_cast<const sockaddr *>(&to), sizeof to) != 0) {
        close(fd);
        fd = -1;
    }
}

UdpChannel::~UdpChannel()
{
    if (fd >= 0)
        close(fd);
}

bool UdpChannel::query(const std::string &request, std::string &answer, int timeoutMs)
{
    if (fd < 0)
        return false;
    char buffer[8192];
    while (recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) >= 0) {
    }
    if (send(fd, request.data(), request.size(), 0) != ssize_t(request.size()))
        return false;
    pollfd waiting{fd, POLLIN, 0};
    if (poll(&waiting, 1, timeoutMs) <= 0)
        return false;
    const ssize_t size = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (size <= 0)
        return false;
    answer.assign(buffer, size_t(size));
    return true;
}
