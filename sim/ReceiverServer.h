#pragma once

#include "sim/ReceiverSimulator.h"

#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace quorlex {

// A simulated receiver on a TCP port, as a receiver's network port or a
// serial-to-network bridge offers it. Each accepted connection replaces the
// previous one. The simulator must outlive the server.
class ReceiverServer {
public:
    explicit ReceiverServer(ReceiverSimulator& simulator) : simulator_(simulator) {}
    // Stops accepting and joins the accepting thread; the simulator keeps
    // serving the last connection.
    ~ReceiverServer();
    ReceiverServer(const ReceiverServer&) = delete;
    ReceiverServer& operator=(const ReceiverServer&) = delete;

    // Listens on an IPv4 or IPv6 address and port (0: a free one) and starts
    // accepting. False with error set when it cannot.
    bool Start(std::string_view address, int port, std::string& error);
    int Port() const { return port_; }
    // Called on the accepting thread for each connection.
    void OnAccepted(std::function<void()> handler) { accepted_ = std::move(handler); }

private:
    void AcceptLoop();

    ReceiverSimulator& simulator_;
    int listener_ = -1;
    int wakeFd_ = -1;
    int port_ = 0;
    std::function<void()> accepted_;
    std::thread thread_;
};

} // namespace quorlex
