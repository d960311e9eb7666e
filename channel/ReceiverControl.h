#pragma once

#include "channel/CommandChannel.h"
#include "channel/DeviceRecord.h"
#include "channel/ReplyIntake.h"
#include "link/ReceiverLink.h"
#include "model/ReceiverSettings.h"

namespace quorlex {

// The one object through which the tool talks to the receiver: the settings
// record, the link, the command channel and the reply intake, and the chosen device.
class ReceiverControl {
public:
    explicit ReceiverControl(BluetoothPlatform& platform, Sleeper sleeper = RealSleeper(),
                             LinkOptions linkOptions = {});
    ReceiverControl(const ReceiverControl&) = delete;
    ReceiverControl& operator=(const ReceiverControl&) = delete;

    ReceiverSettings& Settings() { return settings_; }
    const ReceiverSettings& Settings() const { return settings_; }
    ReceiverLink& Link() { return link_; }

    // Command transactions.
    void SetProgressTarget(ProgressTarget* target) { channel_.SetProgressTarget(target); }
    void ClearCommands() { channel_.ClearCommands(); }
    int AddCommand(const CommandItem& item) { return channel_.AddCommand(item); }
    bool StartBatch(std::u16string_view title) { return channel_.StartBatch(title); }
    void OnTimerTick() { channel_.OnTimerTick(); }
    void MatchReplies(const char* bytes, size_t count) { channel_.MatchReplies(bytes, count); }
    void NotifyProgress(std::u16string_view text) { channel_.NotifyProgress(text); }
    void FinishBatch() { channel_.FinishBatch(); }
    bool IsBatchActive() const { return channel_.IsActive(); }
    const BatchProgress& Progress() const { return channel_.Progress(); }

    // Reply intake.
    bool OnReceive(const char* bytes, size_t count) { return intake_.OnReceive(bytes, count); }
    // A status text of the link's own, not received data.
    void OnLinkStatus(std::u16string_view text) { channel_.ShowLinkStatus(text); }
    bool ParseReplies(const char* bytes, size_t count) {
        return intake_.ParseReplies(bytes, count);
    }

    // The receiver and its link.
    void SetDevice(const DeviceRecord& record);
    const DeviceRecord& Device() const { return device_; }
    void SetReceiveTarget(LinkSink* sink) { link_.SetNotifyTarget(sink); }
    bool Connect();
    bool Disconnect();
    bool IsConnected() const { return link_.IsConnected(); }

private:
    // What the channel needs of the link.
    class ChannelPort : public CommandLink {
    public:
        explicit ChannelPort(ReceiverLink& link) : link_(link) {}
        bool IsConnected() const override { return link_.IsConnected(); }
        int Send(const char* bytes, size_t count) override { return link_.Send(bytes, count); }

    private:
        ReceiverLink& link_;
    };

    // The chosen device is one the link can reach (Bluetooth, TCP or serial).
    bool HasLinkKind() const { return IsKnownLinkKind(device_.linkKind); }

    ReceiverSettings settings_;
    ReceiverLink link_;
    ChannelPort port_{link_};
    CommandChannel channel_{port_};
    ReplyIntake intake_;
    DeviceRecord device_;
};

} // namespace quorlex
