#pragma once

#include "channel/ProgressTarget.h"
#include "common/Text.h"

#include <ostream>
#include <string>
#include <vector>

namespace quorlex::testing {

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
