#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

// The correction caster the receiver reaches over its modem: its mount points
// and its NTRIP 1.0 source table response.
class CasterTable {
public:
    // The STR records of the caster a receiver reaches unless told otherwise.
    static std::vector<std::u16string> DefaultStreams();
    // Mount point names (field 1 of each STR record), in table order.
    static std::vector<std::u16string> MountPoints(const std::vector<std::u16string>& streams);
    // "SOURCETABLE 200 OK", the header lines, an empty line, the CAS, NET and
    // STR records, "ENDSOURCETABLE"; the CAS record names the caster at host
    // and port.
    static std::vector<std::u16string> Response(std::u16string_view host, std::u16string_view port,
                                                const std::vector<std::u16string>& streams);
};

} // namespace quorlex
