// quorlex: configures a GNSS survey receiver over Bluetooth, TCP or a serial line.
#include "app/CQuorlexApp.h"
#include "common/Text.h"
#include "startup/CommandLine.h"
#include "ui/QtTranslations.h"

#include <QApplication>

#include <cstdlib>
#include <iostream>

namespace {

// Without a display Qt gives up with a terse message; say what to do instead.
bool DisplayAvailable(const quorlex::CommandLine& line) {
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    for (const std::string& arg : line.others) {
        if (arg == "-platform" || arg == "--platform") {
            return true;
        }
    }
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv) {
    const quorlex::CommandLine early = quorlex::ParseCommandLine(argc, argv);
    if (early.help) {
        std::cout << quorlex::UsageText("quorlex");
        return 0;
    }
    if (early.version) {
        std::cout << quorlex::ToUtf8(quorlex::WindowTitle(false)) << '\n';
        return 0;
    }
    if (!DisplayAvailable(early)) {
        std::cerr << "quorlex: no display is available ($DISPLAY and $WAYLAND_DISPLAY are unset).\n"
                     "Run it under a virtual display instead, for example:\n"
                     "  xvfb-run -a quorlex --simulate\n";
        return 1;
    }

    QApplication application(argc, argv);
    if (!quorlex::InstallQtTranslations(application)) {
        std::cerr << "quorlex: Qt's Chinese translations are not installed (Debian package "
                     "qt6-translations-l10n); Qt's own buttons stay in English.\n";
    }
    // Qt has taken its own options out; whatever is left must be ours.
    std::vector<std::string> args;
    for (const QString& arg : QApplication::arguments()) {
        args.push_back(arg.toStdString());
    }
    std::vector<std::string_view> views(args.begin(), args.end());
    const quorlex::CommandLine line = quorlex::ParseCommandLine(views);
    if (!line.missingValue.empty()) {
        std::cerr << "quorlex: " << line.missingValue << " needs a value\n"
                  << quorlex::UsageText("quorlex");
        return 2;
    }
    if (!line.others.empty()) {
        std::cerr << "quorlex: unknown option " << line.others.front() << '\n'
                  << quorlex::UsageText("quorlex");
        return 2;
    }

    if (line.noAdapter && !line.simulate) {
        std::cerr << "quorlex: --no-adapter works with --simulate only\n";
        return 2;
    }
    quorlex::CQuorlexApp app(line.simulate, line.noAdapter);
    app.SetWireLog(line.wireLog);
    if (!app.InitInstance()) {
        return 1;
    }
    return QApplication::exec();
}
