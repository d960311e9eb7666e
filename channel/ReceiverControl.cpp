#include "channel/ReceiverControl.h"

#include <optional>

namespace quorlex {

ReceiverControl::ReceiverControl(BluetoothPlatform& platform, Sleeper sleeper,
                                 LinkOptions linkOptions)
    : link_(platform, std::move(linkOptions)), intake_(settings_, channel_, std::move(sleeper)) {
    channel_.SetSendEnabled(false);
}

void ReceiverControl::SetDevice(const DeviceRecord& record) {
    device_ = record;
    channel_.SetSendEnabled(HasLinkKind());
}

bool ReceiverControl::Connect() {
    if (!HasLinkKind()) {
        return false;
    }
    if (link_.IsConnected()) {
        return true;
    }
    // A line cut short by the end of the last connection would be glued to
    // the first line of this one, or acknowledge its first command early.
    intake_.Reset();
    channel_.ResetReplies();
    if (device_.linkKind == kLinkKindBluetooth) {
        return link_.Connect(device_.pin, device_.address);
    }
    const std::optional<LinkTarget> target = ParseLinkLocation(device_.linkKind, device_.location);
    return target && link_.Connect(*target);
}

bool ReceiverControl::Disconnect() {
    channel_.FinishBatch();
    // A connection still being made is given up too, so the link cannot come
    // up later behind a dialog that already shows it as closed.
    if (HasLinkKind()) {
        link_.Close();
    }
    return HasLinkKind();
}

} // namespace quorlex
