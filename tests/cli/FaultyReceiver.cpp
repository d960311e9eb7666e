#include "tests/cli/FaultyReceiver.h"

#include "common/Text.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorlex::testing {
namespace {

void SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<size_t>(n);
    }
}

} // namespace

FaultyReceiver::FaultyReceiver(cli::ToolPlatforms& platforms, const std::string& name,
                               std::string refusedCommand, std::string ignoredCommand)
    : refused(std::move(refusedCommand)), ignored(std::move(ignoredCommand)) {
    simulator->SetLineRate(0);
    SimulatedReceiver receiver;
    receiver.name = FromUtf8(name);
    receiver.address = 0x00126F0DEAD1ULL;
    receiver.pin = u"7391";
    receiver.serve = [this](int fd) { threads.emplace_back([this, fd] { Serve(fd); }); };
    platforms.AddSimulatedReceiver(std::move(receiver), simulator);
}

FaultyReceiver::~FaultyReceiver() {
    for (std::thread& thread : threads) {
        thread.join();
    }
    simulator->Detach();
}

// Passes bytes both ways until the tool closes its end, line by line towards
// the receiver so that a command can be held back.
void FaultyReceiver::Serve(int toolEnd) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) {
        ::close(toolEnd);
        return;
    }
    simulator->Attach(pair[1]);
    const int receiverEnd = pair[0];
    std::string pending;
    char buffer[4096];
    for (bool open = true; open;) {
        pollfd fds[2] = {{toolEnd, POLLIN, 0}, {receiverEnd, POLLIN, 0}};
        if (::poll(fds, 2, 1000) < 0) {
            break;
        }
        if ((fds[1].revents & (POLLIN | POLLHUP)) != 0) {
            const ssize_t n = ::recv(receiverEnd, buffer, sizeof buffer, 0);
            open = n > 0;
            if (open) {
                SendAll(toolEnd, std::string(buffer, static_cast<size_t>(n)));
            }
        }
        if (open && (fds[0].revents & (POLLIN | POLLHUP)) != 0) {
            const ssize_t n = ::recv(toolEnd, buffer, sizeof buffer, 0);
            open = n > 0;
            pending.append(buffer, static_cast<size_t>(std::max<ssize_t>(n, 0)));
            for (size_t end = pending.find('\n'); open && end != std::string::npos;
                 end = pending.find('\n')) {
                const std::string line = pending.substr(0, end + 1);
                pending.erase(0, end + 1);
                if (line.starts_with(refused)) {
                    SendAll(toolEnd, "@GNSS,ERROR,5," + refused + "*00\r\n");
                } else if (!line.starts_with(ignored)) {
                    SendAll(receiverEnd, line);
                }
            }
        }
    }
    ::close(toolEnd);
    ::close(receiverEnd);
}

} // namespace quorlex::testing
