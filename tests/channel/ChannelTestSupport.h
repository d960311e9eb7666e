#pragma once

#include "channel/CommandLink.h"
#include "channel/ProgressTarget.h"
#include "common/Text.h"

#include <ostream>

#include <string>
#include <vector>

namespace quorlex::testing {

// A link whose state the test sets; records what was sent.
class FakeLink : public CommandLink {
public:
    bool IsConnected() const override { return connected; }
    int Send(const char* bytes, size_t count) override {
        sent.emplace_back(bytes, count);
        return connected ? 1 : -1;
    }
    bool connected = true;
    std::vector<std::string> sent;
};

// Records every notification as a whole so sequences can be compared.
class RecordingTarget : public ProgressTarget {
public:
    struct Note {
        std::u16string status;
        int position;
        int total;
        int failed;
        bool operator==(const Note&) const = default;
        friend void PrintTo(const Note& n, std::ostream* os) {
            *os << "{" << ToUtf8(n.status) << ", " << n.position << ", " << n.total << ", "
                << n.failed << "}";
        }
    };
    bool HasWindow() const override { return hasWindow; }
    void OnBatchProgress(const BatchProgress& p) override {
        notes.push_back({p.status, p.position, p.total, p.failed});
    }
    bool hasWindow = true;
    std::vector<Note> notes;
};

} // namespace quorlex::testing
