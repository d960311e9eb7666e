#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlex {

// Removes the chunk framing from a caster's answer as its bytes arrive, in
// pieces cut anywhere. An HTTP/1.x status line opens a head; when the head
// names "Transfer-Encoding: chunked", the body after its empty line loses its
// size lines, the line end after each chunk's data, the last (empty) chunk and
// its trailer. Every other byte is handed on unchanged, so answers without
// chunks (NTRIP 1.0 tables, bodies with a length) come out as they went in.
// A body that breaks the framing is handed on from the break as received.
class ChunkedBodyDecoder {
public:
    std::string Take(std::string_view bytes);
    void Reset();

    // A size line or chunk that long cannot be a table's.
    static constexpr size_t kMaxLine = 2000;
    static constexpr uint64_t kMaxChunk = uint64_t{1} << 40;

private:
    enum class Phase { Text, Head, SizeLine, Data, DataEnd, Trailer };

    void TakeByte(char byte, std::string& out);
    void EndTextLine();
    void EndHeadLine();
    void EndSizeLine(std::string& out);
    // The framing is broken: what was held back and what follows go on as received.
    void GiveUp(std::string& out);

    Phase phase_ = Phase::Text;
    // The line being read, without its line end; only its first kMaxLine bytes.
    std::string line_;
    bool lineTooLong_ = false;
    bool chunked_ = false;
    uint64_t dataLeft_ = 0;
    // DataEnd: the CR of the line end after a chunk's data has been seen.
    bool sawCr_ = false;
};

} // namespace quorlex
