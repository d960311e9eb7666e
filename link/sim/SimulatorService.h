#pragma once

#include "link/sim/SimulatedPlatform.h"
#include "sim/ReceiverSimulator.h"

#include <memory>

namespace quorlex {

// Each connection to the receiver is served by the simulator, which lives as
// long as the receiver stays in range.
FarEndServer ServeWithSimulator(std::shared_ptr<ReceiverSimulator> simulator);

} // namespace quorlex
