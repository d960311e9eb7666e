#include "link/sim/SimulatorService.h"

namespace quorlex {

FarEndServer ServeWithSimulator(std::shared_ptr<ReceiverSimulator> simulator) {
    return [simulator = std::move(simulator)](int fd) { simulator->Attach(fd); };
}

} // namespace quorlex
