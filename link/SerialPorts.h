#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quorlex {

// The serial devices of this machine a receiver may be on, as offered when
// one is added: the stable names of USB adapters (serial/by-id) first, then
// USB serial and modem-class devices (ttyUSB*, ttyACM*), each group sorted.
// Built-in ttyS ports are left out: most machines list many that have no
// hardware behind them; their paths can still be typed.
std::vector<std::string> SerialDevicePaths(const std::filesystem::path& devices = "/dev");

} // namespace quorlex
