// Received text of a mount point fetch, in chunks whose size the input picks,
// through both parsers of the source table store.
#include "common/CodePage.h"
#include "network/SourceTableStore.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace quorlex;

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void CheckRecords(const SourceTableStore& store) {
    for (const StrRecord& record : store.StrList()) {
        Check(!record.mountPoint.empty());
    }
    for (const CasRecord& record : store.CasList()) {
        Check(!record.host.empty() && !record.port.empty());
    }
    for (const NetRecord& record : store.NetList()) {
        Check(!record.identifier.empty());
    }
    const std::u16string& table = store.TableText();
    Check(table.empty() || table.ends_with(u"\r\n"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t chunk = static_cast<size_t>(data[0]) * 16 + 1;
    const std::u16string text =
        DecodeCp936(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), false);
    SourceTableStore store{std::filesystem::path()};
    const std::u16string_view rest = text;
    for (size_t at = 0; at < rest.size(); at += chunk) {
        const std::u16string_view piece = rest.substr(at, chunk);
        store.FeedMountPointList(piece);
        store.FeedSourceTable(piece);
        (void)store.StatusText();
        store.TickTimeout();
    }
    CheckRecords(store);
    return 0;
}
