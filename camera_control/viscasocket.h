#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "camera_control/viscareplyrouter.h"

// The process's one UDP socket for VISCA over IP, shared by the camera panels and the
// auto-play engine. Each exchange sends the caller's encoded datagram to port 52381 of the
// camera and waits a bounded time for its replies. One receiving thread reads the socket and
// hands every reply to the exchange with the same camera address and sequence number, so any
// number of threads may run exchanges at once and none takes another's reply.
//
// Every exchange takes the socket, the encoded datagram, its length (on return: the size
// of the last datagram received, 0 when none came) and the camera's address as text.
class VISCASocket
{
public:
    static constexpr uint16_t Port = 52381;
    static constexpr int ReceiveTimeoutMs = 51;
    static constexpr int CommandWindowMs = 200;
    static constexpr int PanTiltLimitMs = 100;
    static constexpr int ValueLimitMs = 500;
    // Large enough for any datagram a camera may send; replies are received into it.
    static constexpr uint32_t ReplyBufferSize = 1500;

    static VISCASocket &instance();

    // Sends a command and waits for acknowledge and/or completion as the flags ask.
    // False only when the address does not resolve or the send is short.
    static bool sendCommand(VISCASocket *socket, const uint8_t *buffer, uint32_t *length,
                            const std::string &address, const bool *waitAck,
                            const bool *waitCompletion);

    // Sends a PanTiltInq; on a matching reply within 100 ms stores pan and tilt (0-0xFFFF).
    static bool inquirePanTilt(VISCASocket *socket, const uint8_t *buffer, uint32_t *length,
                               const std::string &address, int64_t *pan, int64_t *tilt);

    // Sends a FocusInq or ZoomInq; on a matching reply within 500 ms stores the value.
    static bool inquireValue(VISCASocket *socket, const uint8_t *buffer, uint32_t *length,
                             const std::string &address, int64_t *value);

    bool isOpen() const { return socket >= 0; }

    VISCASocket(const VISCASocket &) = delete;
    VISCASocket &operator=(const VISCASocket &) = delete;
    ~VISCASocket();

private:
    VISCASocket();
    void receiveLoop();

    bool started = false;
    int socket = -1;
    ViscaReplyRouter router;
    std::atomic<bool> closing{false};
    std::thread receiver;

    friend class ViscaExchange;
};
