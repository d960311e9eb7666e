// quorlex-receiver-sim: one simulated receiver on a TCP port, to connect the
// tool to as a TCP receiver, or to try the line protocol by hand with nc.

#include "common/Numbers.h"
#include "common/Text.h"
#include "sim/ReceiverServer.h"
#include "sim/ReceiverSimulator.h"

#include <iostream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using quorlex::CommandFault;

struct Options {
    int port = 9527;
    std::string bind = "127.0.0.1";
    int rate = quorlex::ReceiverSimulator::kDefaultLineRate;
    quorlex::SimulatorFaults faults;
    bool help = false;
    std::string error;
};

constexpr std::string_view kUsage =
    "Usage: quorlex-receiver-sim [options]\n"
    "Serves one simulated GNSS receiver on a TCP port; a new connection\n"
    "replaces the previous one. Connect quorlex to it as a TCP receiver\n"
    "(127.0.0.1:9527), or try it by hand: nc 127.0.0.1 9527, then type GET,ALL\n"
    "\n"
    "Options:\n"
    "  --port N            TCP port (default 9527; 0 picks a free one)\n"
    "  --bind ADDRESS      IPv4 or IPv6 address to listen on (default 127.0.0.1)\n"
    "  --rate BPS          serial line rate the answers are paced at\n"
    "                      (default 115200; 0 = unpaced)\n"
    "  --silent            record commands but never answer\n"
    "  --bad-checksums     send every line with a wrong checksum\n"
    "  --split N           send lines in pieces of N bytes\n"
    "  --delay MS          wait MS milliseconds before each answer\n"
    "  --ignore CMD[:N]    leave the first N copies of CMD unanswered (default 1)\n"
    "  --error CMD         answer CMD with an error line\n"
    "  --drop-after CMD    carry CMD out, then drop the connection before answering\n"
    "                      CMD is a command word and key, such as GET,ALL or\n"
    "                      SET,NETWORK.ADDR; it matches that command with any arguments\n"
    "  --help              show this text\n";

// A whole decimal number, nothing else; -1 when the text is not one.
int ParseCount(std::string_view text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != text.npos) {
        return -1;
    }
    return quorlex::ParseInteger(quorlex::FromUtf8(text));
}

// "CMD" or "CMD:N" for one command fault; false when malformed.
bool ParseCommandFault(std::string_view text, CommandFault::Kind kind, CommandFault& fault) {
    fault.kind = kind;
    fault.count = 1;
    const std::size_t colon = text.rfind(':');
    if (kind == CommandFault::Kind::Ignore && colon != std::string_view::npos) {
        fault.count = ParseCount(text.substr(colon + 1));
        text = text.substr(0, colon);
    }
    fault.command = std::string(text);
    return !fault.command.empty() && fault.count > 0 &&
           fault.command.find_first_of(" \r\n") == std::string::npos;
}

bool TakeCommandFault(std::string_view arg, std::string_view value, Options& options) {
    CommandFault fault;
    const CommandFault::Kind kind = arg == "--ignore"  ? CommandFault::Kind::Ignore
                                    : arg == "--error" ? CommandFault::Kind::AnswerError
                                                       : CommandFault::Kind::DropAfter;
    if (!ParseCommandFault(value, kind, fault)) {
        return false;
    }
    options.faults.commandFaults.push_back(fault);
    return true;
}

bool TakeNumber(std::string_view arg, int value, Options& options) {
    if (value < 0 || (arg == "--port" && value > 65535)) {
        return false;
    }
    if (arg == "--port") {
        options.port = value;
    } else if (arg == "--rate") {
        options.rate = value;
    } else if (arg == "--split") {
        options.faults.splitPieceBytes = static_cast<std::size_t>(value);
    } else {
        options.faults.replyDelay = std::chrono::milliseconds(value);
    }
    return true;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc && options.error.empty(); ++i) {
        const std::string_view arg = argv[i];
        const std::string_view value = i + 1 < argc ? argv[i + 1] : std::string_view();
        bool taken = true;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--silent") {
            options.faults.silent = true;
        } else if (arg == "--bad-checksums") {
            options.faults.badChecksums = true;
        } else if (arg == "--port" || arg == "--rate" || arg == "--split" || arg == "--delay") {
            taken = i + 1 < argc && TakeNumber(arg, ParseCount(value), options);
            ++i;
        } else if (arg == "--ignore" || arg == "--error" || arg == "--drop-after") {
            taken = i + 1 < argc && TakeCommandFault(arg, value, options);
            ++i;
        } else if (arg == "--bind") {
            taken = i + 1 < argc && !value.empty();
            options.bind = std::string(value);
            ++i;
        } else {
            options.error = "unknown option " + std::string(arg);
        }
        if (!taken) {
            options.error = "bad or missing value for " + std::string(arg);
        }
    }
    return options;
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
    quorlex::ReceiverSimulator simulator;
    simulator.SetLineRate(options.rate);
    simulator.SetFaults(options.faults);
    quorlex::ReceiverServer server(simulator);
    server.OnAccepted([] { std::cout << "connection accepted" << std::endl; });
    std::string error;
    if (!server.Start(options.bind, options.port, error)) {
        std::cerr << "quorlex-receiver-sim: cannot listen on " << options.bind << ":"
                  << options.port << ": " << error << "\n";
        return 1;
    }
    const bool v6 = options.bind.find(':') != std::string::npos;
    std::cout << "listening on " << (v6 ? "[" + options.bind + "]" : options.bind) << ":"
              << server.Port() << std::endl;
    for (;;) {
        pause();
    }
}
