#pragma once

#include "ui/UserPrompts.h"

#include <functional>
#include <string>
#include <vector>

namespace quorlex {

// Stands in for the user in tests: records every message instead of showing
// it and tracks the wait cursor.
class RecordingPrompts final : public UserPrompts {
public:
    struct Message {
        std::u16string text;
        std::u16string caption;
        MessageIcon icon = MessageIcon::None;
    };

    int ShowMessage(QWidget*, std::u16string_view text, std::u16string_view caption,
                    MessageIcon icon) override {
        messages.push_back({std::u16string(text), std::u16string(caption), icon});
        if (onMessage) {
            onMessage(messages.back());
        }
        return kIdOk;
    }
    void BeginWaitCursor() override {
        ++waitDepth;
        ++waitCursorShown;
    }
    void EndWaitCursor() override { --waitDepth; }

    std::vector<Message> messages;
    int waitDepth = 0;       // > 0 while the wait cursor shows
    int waitCursorShown = 0; // how often it was put up
    std::function<void(const Message&)> onMessage;
};

} // namespace quorlex
