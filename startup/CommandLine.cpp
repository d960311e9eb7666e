#include "startup/CommandLine.h"

#include "common/Format.h"
#include "startup/VersionText.h"

namespace quorlex {

CommandLine ParseCommandLine(std::span<const std::string_view> args) {
    CommandLine line;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--simulate") {
            line.simulate = true;
        } else if (arg == "--no-adapter") {
            line.noAdapter = true;
        } else if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (arg.starts_with("--wire-log=")) {
            line.wireLog = arg.substr(arg.find('=') + 1);
            line.missingValue = line.wireLog.empty() ? "--wire-log" : line.missingValue;
        } else if (arg == "--wire-log") {
            if (i + 1 < args.size() && !args[i + 1].empty()) {
                line.wireLog = args[++i];
            } else {
                line.missingValue = "--wire-log";
            }
        } else {
            line.others.emplace_back(arg);
        }
    }
    return line;
}

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    std::vector<std::string_view> args;
    args.reserve(static_cast<size_t>(argc > 0 ? argc : 0));
    for (int i = 0; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    return ParseCommandLine(args);
}

std::string UsageText(std::string_view program) {
    std::string text = "usage: ";
    text += program;
    text += " [--simulate [--no-adapter]] [--wire-log FILE] [--help] [--version]\n"
            "Configures a GNSS survey receiver over Bluetooth, TCP or a serial line.\n"
            "  --simulate       work with simulated receivers instead of the Bluetooth adapter\n"
            "  --no-adapter     with --simulate: a machine that has no Bluetooth adapter\n"
            "  --wire-log FILE  log every byte sent to and received from the receiver to\n"
            "                   FILE (appended; passwords masked)\n"
            "  --help           show this text and exit\n"
            "  --version        show the version and exit\n"
            "Qt's own options (for example -platform offscreen) are accepted as well.\n";
    return text;
}

std::u16string WindowTitle(bool simulated) {
    std::u16string title = FormatText(u"Quorlex Ver%s", {std::u16string_view(VersionText())});
    if (simulated) {
        title += u" (模拟接收机)";
    }
    return title;
}

std::u16string WindowTitle(bool simulated, std::u16string_view connectedReceiver) {
    return WindowTitle(simulated) + u" - " +
           std::u16string(connectedReceiver.empty() ? u"未连接" : connectedReceiver);
}

} // namespace quorlex
