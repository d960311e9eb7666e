#include "link/SystemStreams.h"

#include "link/BluetoothSocket.h"
#include "link/SerialStream.h"
#include "link/TcpStream.h"

namespace quorlex {

std::unique_ptr<ByteStream> SystemStreams::Make(const LinkTarget& target) {
    switch (target.kind) {
    case kLinkKindBluetooth:
        return std::make_unique<BluetoothSocket>(platform_, target.address, target.pin);
    case kLinkKindTcp:
        return std::make_unique<TcpStream>(target.host, target.port, options_.tcpTimes);
    case kLinkKindSerial:
        return std::make_unique<SerialStream>(target.path, target.baud);
    default:
        return nullptr;
    }
}

} // namespace quorlex
