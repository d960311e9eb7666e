#include "link/SerialPorts.h"

#include <algorithm>
#include <system_error>

namespace quorlex {
namespace {

std::vector<std::string> Entries(const std::filesystem::path& folder,
                                 std::initializer_list<std::string_view> prefixes) {
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const bool wanted =
            prefixes.size() == 0 || std::any_of(prefixes.begin(), prefixes.end(), [&](auto p) {
                return name.size() > p.size() && name.starts_with(p);
            });
        if (wanted) {
            paths.push_back(entry.path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace

std::vector<std::string> SerialDevicePaths(const std::filesystem::path& devices) {
    std::vector<std::string> paths = Entries(devices / "serial" / "by-id", {});
    for (const std::string& path : Entries(devices, {"ttyUSB", "ttyACM"})) {
        paths.push_back(path);
    }
    return paths;
}

} // namespace quorlex
