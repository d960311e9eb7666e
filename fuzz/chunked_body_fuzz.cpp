// A caster's answer received in pieces whose sizes the input picks, through
// the de-chunking of the table's bytes and then the table parser.
#include "common/CodePage.h"
#include "network/ChunkedBodyDecoder.h"
#include "network/SourceTableStore.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace quorlex;

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t piece = static_cast<size_t>(data[0]) + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    ChunkedBodyDecoder whole;
    const std::string plain = whole.Take(bytes);
    // Framing only ever goes: nothing is made up.
    Check(plain.size() <= bytes.size());

    ChunkedBodyDecoder pieces;
    SourceTableStore store{std::filesystem::path()};
    std::string joined;
    for (size_t at = 0; at < bytes.size(); at += piece) {
        const std::string out = pieces.Take(bytes.substr(at, piece));
        joined += out;
        store.FeedSourceTable(DecodeCp936(out, false));
        (void)store.StatusText();
    }
    // Where the pieces were cut changes nothing.
    Check(joined == plain);
    for (const StrRecord& record : store.StrList()) {
        Check(!record.mountPoint.empty());
    }
    const std::u16string& table = store.TableText();
    Check(table.empty() || table.ends_with(u"\r\n"));
    Check(!store.IsRefused() || !store.Refusal().empty());
    return 0;
}
