// Received chunks of any content must never crash the intake or grow its
// buffers without bound.
#include "channel/CommandChannel.h"
#include "channel/ReplyIntake.h"
#include "model/ReceiverSettings.h"

#include <cstdint>
#include <cstdlib>

namespace {

class AlwaysConnected : public quorlex::CommandLink {
public:
    bool IsConnected() const override { return true; }
    int Send(const char*, size_t) override { return 1; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorlex;
    ReceiverSettings settings;
    AlwaysConnected link;
    CommandChannel channel(link);
    ReplyIntake intake(settings, channel, nullptr);
    channel.AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
    channel.StartBatch(u"读取配置");
    // The first byte picks the chunk size so one input covers many splits.
    const size_t step = size > 0 ? 1 + data[0] % 64 : 1;
    for (size_t at = size > 0 ? 1 : 0; at < size; at += step) {
        const size_t n = std::min(step, size - at);
        intake.OnReceive(reinterpret_cast<const char*>(data + at), n);
        channel.OnTimerTick();
        if (settings.lineBuffer.size() > ReplyIntake::kMaxPendingChars) {
            std::abort();
        }
    }
    return 0;
}
