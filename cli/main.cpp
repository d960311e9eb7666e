// quorlexctl: the receivers' configuration from the command line, on the
// application's own core and without its screens.
#include "cli/CommandLine.h"
#include "devices/DeviceList.h"
#include "network/CacheFile.h"

#include <cstdlib>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    using namespace quorlex;
    cli::ToolPlatforms platforms;
    const auto environment = [](const std::string& name) {
        const char* value = std::getenv(name.c_str());
        return value == nullptr ? std::nullopt : std::optional<std::string>(value);
    };
    // Spelled out: a bare {} trips GCC 12's -Wmaybe-uninitialized at -O3.
    cli::ToolContext context{std::cout,
                             std::cerr,
                             ::isatty(STDERR_FILENO) == 1,
                             platforms,
                             cli::SessionOptions{},
                             DeviceListPath(),
                             environment};
    const std::filesystem::path cache = UserCacheFolder();
    context.session.sourceTableCache = cache.empty() ? cache : cache / "sourcetable.dat";
    return cli::RunCommandLine(argc, argv, context);
}
