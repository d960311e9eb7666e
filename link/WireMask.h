#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace quorlex {

// What a wire log shows instead of a secret.
inline constexpr std::string_view kMaskedValue = "***";

// The keys whose values are secrets, each followed by the comma that ends it.
std::span<const std::string_view> SecretKeys();

// Keeps secrets out of one direction of a wire log: the value after a
// secret key ("NETWORK.MOUNTPOINTUSERPASS,", "NETWORK.APNPASS,") is replaced
// up to its line end, in commands ("SET,KEY,value"), in key replies
// ("@GNSS,GET,KEY,OK,value*HH"), in acknowledgements and in error echoes. A
// ",OK" after the value stays, a checksum (which would tell something of
// the value) is replaced too.
//
// Bytes arrive in pieces that may cut a key or a value anywhere: what could
// still turn out to be part of a secret is held back until its line ends,
// everything else passes at once. The held bytes of one value are bounded:
// beyond kMaxHeld the value is masked and the rest of its line dropped.
class WireMask {
public:
    static constexpr std::size_t kMaxHeld = 1024;

    // The bytes that may be written now, masked.
    std::string Feed(std::string_view bytes);
    // Whatever is held, masked as far as it goes; the next byte starts afresh.
    std::string Flush();

    // One whole line (or the end of a line that begins inside a value).
    static std::string MaskLine(std::string_view line, bool startsInValue = false);

private:
    std::string held_;
    bool inValue_ = false;
    bool dropping_ = false;
};

} // namespace quorlex
