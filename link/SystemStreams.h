#pragma once

#include "link/BluetoothPlatform.h"
#include "link/LinkOptions.h"
#include "link/StreamFactory.h"

namespace quorlex {

// The streams of this machine: RFCOMM over the Bluetooth platform, TCP
// sockets and serial ttys.
class SystemStreams final : public StreamFactory {
public:
    SystemStreams(BluetoothPlatform& platform, const LinkOptions& options)
        : platform_(platform), options_(options) {}

    std::unique_ptr<ByteStream> Make(const LinkTarget& target) override;

private:
    BluetoothPlatform& platform_;
    const LinkOptions& options_;
};

} // namespace quorlex
