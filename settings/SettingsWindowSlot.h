#pragma once

namespace quorlex {

// What the settings dialog does on WM_SETTINGS_REFRESH: refill its pages from
// the record that a batch of another dialog has just read back.
class SettingsRefreshTarget {
public:
    virtual ~SettingsRefreshTarget() = default;
    virtual void OnSettingsRefresh() = 0;
};

// The main frame's settings window: set while the settings dialog is open.
// Dialogs that change the receiver get the slot, never the frame.
class SettingsWindowSlot {
public:
    void Set(SettingsRefreshTarget* target) { window_ = target; }
    SettingsRefreshTarget* Get() const { return window_; }
    bool IsSet() const { return window_ != nullptr; }

    // WM_SETTINGS_REFRESH, synchronously; returns whether a window was there to take it.
    bool SendRefresh() const {
        if (window_ == nullptr) {
            return false;
        }
        window_->OnSettingsRefresh();
        return true;
    }

private:
    SettingsRefreshTarget* window_ = nullptr;
};

} // namespace quorlex
