#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

// How the caster answers a request for its source table.
enum class CasterForm {
    Ntrip1,        // "SOURCETABLE 200 OK", CR LF lines
    Ntrip2Length,  // "HTTP/1.1 200 OK" with Content-Length; records end in bare LF
    Ntrip2Chunked, // the same body sent with "Transfer-Encoding: chunked"
    Refusing,      // "HTTP/1.1 401 Unauthorized" and no table
};

// The correction caster the receiver reaches over its modem: its mount points
// and its answer to a request for the source table.
class CasterTable {
public:
    // The STR records of the caster a receiver reaches unless told otherwise.
    static std::vector<std::u16string> DefaultStreams();
    // Mount point names (field 1 of each STR record), in table order.
    static std::vector<std::u16string> MountPoints(const std::vector<std::u16string>& streams);
    // The answer in the given form, cut at every CR LF: sending each piece
    // followed by CR LF gives the caster's bytes. A table holds the CAS record
    // of the caster at host and port, NET and STR records and "ENDSOURCETABLE".
    static std::vector<std::u16string> Response(CasterForm form, std::u16string_view host,
                                                std::u16string_view port,
                                                const std::vector<std::u16string>& streams);
};

} // namespace quorlex
