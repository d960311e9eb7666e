#include "link/SdpElement.h"
#include "link/SerialChannel.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

// Touches every decoded value so that a view past the input would be read.
uint64_t Walk(const quorlex::SdpElement& element) {
    uint64_t sum = element.Number();
    for (const uint8_t byte : element.value) {
        sum += byte;
    }
    for (const quorlex::SdpElement& item : element.items) {
        sum += Walk(item);
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const int channel = quorlex::SerialChannelFromResponse(bytes);
    if (channel < 0 || channel > 255) {
        __builtin_trap();
    }
    if (const auto element = quorlex::ParseSdpElement(bytes)) {
        volatile uint64_t sink = Walk(*element);
        (void)sink;
    }
    return 0;
}
