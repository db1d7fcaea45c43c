#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <netinet/in.h>

// The sockets of the simulated and the test cameras. They only ever live on the loopback
// network, so an address outside 127.0.0.0/8 is refused rather than bound.
namespace LoopbackSocket {

enum class Type { Udp, TcpListener };

// address:port as a socket address; false for anything but a dotted 127.x.y.z.
bool endpoint(const std::string &address, uint16_t port, sockaddr_in &out);
std::string addressOf(const sockaddr_in &endpoint);

// A close-on-exec socket bound to address:port (0: any free port); a listener reuses the
// address and listens. -1 with the reason in error when the address is taken or not loopback.
int open(Type type, const std::string &address, uint16_t port, bool nonBlocking,
         std::string &error);
int open(Type type, const std::string &address, uint16_t port, bool nonBlocking = false);
void close(int &fd);

// One datagram and its sender; false when nothing could be read.
bool receive(int fd, std::vector<uint8_t> &bytes, sockaddr_in &from);
void sendTo(int fd, const std::vector<uint8_t> &bytes, const sockaddr_in &to);

} // namespace LoopbackSocket
