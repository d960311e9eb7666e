// A session file of any content must never crash the reader, and every
// record it reads must be written back as a line that reads as the same record.
#include "link/SessionFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorlex;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Session session;
    SessionError error;
    if (!ReadSession(text, session, error)) {
        if (error.line < 1) {
            std::abort();
        }
        return 0;
    }
    for (const WireRecord& record : session.records) {
        Session again;
        if (!ReadSession(FormatWireRecord(record), again, error) || again.records.size() != 1 ||
            !(again.records[0] == record)) {
            std::abort();
        }
    }
    return 0;
}
