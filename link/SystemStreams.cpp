#include "link/SystemStreams.h"

#include "link/BluetoothSocket.h"

namespace quorlex {

std::unique_ptr<ByteStream> SystemStreams::Make(const LinkTarget& target) {
    switch (target.kind) {
    case kLinkKindBluetooth:
        return std::make_unique<BluetoothSocket>(platform, target.address, target.pin);
    default:
        return nullptr;
    }
}

} // namespace quorlex
