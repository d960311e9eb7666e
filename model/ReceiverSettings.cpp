#include "model/ReceiverSettings.h"

namespace quorlex {

void ReceiverSettings::ResetSettings() {
    receivedKeys.clear();
    lineBuffer.clear();
    config = ReceiverConfig{};
    info = ReceiverInfo{};
}

} // namespace quorlex
