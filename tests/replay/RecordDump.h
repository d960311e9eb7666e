#pragma once

#include "model/ReceiverSettings.h"

#include <string>

namespace quorlex::replay {

// Every field of the record as "name = value" lines, in a fixed order, for
// golden files.
std::string DumpRecord(const ReceiverSettings& settings);

} // namespace quorlex::replay
