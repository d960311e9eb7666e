// quorlex-receiver-sim: one simulated receiver on a local TCP port, for
// trying the line protocol by hand (for instance with nc).

#include "common/Numbers.h"
#include "common/Text.h"
#include "sim/ReceiverSimulator.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <netinet/in.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Options {
    int port = 9527;
    int rate = quorlex::ReceiverSimulator::kDefaultLineRate;
    quorlex::SimulatorFaults faults;
    bool help = false;
    std::string error;
};

constexpr std::string_view kUsage =
    "Usage: quorlex-receiver-sim [options]\n"
    "Serves one simulated GNSS receiver on 127.0.0.1; a new connection\n"
    "replaces the previous one. Try: nc 127.0.0.1 9527, then type GET,ALL\n"
    "\n"
    "Options:\n"
    "  --port N         TCP port on 127.0.0.1 (default 9527; 0 picks a free one)\n"
    "  --rate BPS       serial line rate the answers are paced at\n"
    "                   (default 115200; 0 = unpaced)\n"
    "  --silent         record commands but never answer\n"
    "  --bad-checksums  send every line with a wrong checksum\n"
    "  --split N        send lines in pieces of N bytes\n"
    "  --delay MS       wait MS milliseconds before each answer\n"
    "  --help           show this text\n";

// A whole decimal number, nothing else; -1 when the text is not one.
int ParseCount(std::string_view text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != text.npos) {
        return -1;
    }
    return quorlex::ParseInteger(quorlex::FromUtf8(text));
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc && options.error.empty(); ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const int value = hasValue ? ParseCount(argv[i + 1]) : -1;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--silent") {
            options.faults.silent = true;
        } else if (arg == "--bad-checksums") {
            options.faults.badChecksums = true;
        } else if (arg == "--port" || arg == "--rate" || arg == "--split" || arg == "--delay") {
            if (value < 0 || (arg == "--port" && value > 65535)) {
                options.error = "bad or missing value for " + std::string(arg);
                break;
            }
            ++i;
            if (arg == "--port") {
                options.port = value;
            } else if (arg == "--rate") {
                options.rate = value;
            } else if (arg == "--split") {
                options.faults.splitPieceBytes = static_cast<std::size_t>(value);
            } else {
                options.faults.replyDelay = std::chrono::milliseconds(value);
            }
        } else {
            options.error = "unknown option " + std::string(arg);
        }
    }
    return options;
}

// Listens on 127.0.0.1 only: the simulator is for this machine.
int Listen(int port, int& boundPort) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 1) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        return -1;
    }
    boundPort = ntohs(address.sin_port);
    return fd;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!options.error.empty()) {
        std::cerr << "quorlex-receiver-sim: " << options.error << "\n" << kUsage;
        return 2;
    }
    int boundPort = 0;
    const int listener = Listen(options.port, boundPort);
    if (listener < 0) {
        std::cerr << "quorlex-receiver-sim: cannot listen on 127.0.0.1:" << options.port << ": "
                  << std::strerror(errno) << "\n";
        return 1;
    }
    quorlex::ReceiverSimulator simulator;
    simulator.SetLineRate(options.rate);
    simulator.SetFaults(options.faults);
    std::cout << "listening on 127.0.0.1:" << boundPort << std::endl;
    for (;;) {
        const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            std::cerr << "quorlex-receiver-sim: accept failed: " << std::strerror(errno) << "\n";
            close(listener);
            return 1;
        }
        std::cout << "connection accepted" << std::endl;
        simulator.Attach(client);
    }
}
