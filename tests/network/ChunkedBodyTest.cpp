#include "network/ChunkedBodyDecoder.h"
#include "network/StatusLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace quorlex;

namespace {

constexpr std::string_view kChunkedHead = "HTTP/1.1 200 OK\r\n"
                                          "Ntrip-Version: Ntrip/2.0\r\n"
                                          "Transfer-Encoding: chunked\r\n"
                                          "\r\n";

std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string all;
    for (const std::string_view part : parts) {
        all += part;
    }
    return all;
}

struct Case {
    const char* name;
    std::string received;
    std::string expected;
};

// The decoder's output for bytes received in two pieces, cut after `cut` bytes.
std::string TakeInTwo(std::string_view bytes, size_t cut) {
    ChunkedBodyDecoder decoder;
    std::string out = decoder.Take(bytes.substr(0, cut));
    return out + decoder.Take(bytes.substr(cut));
}

} // namespace

TEST(ChunkedBody, FramingGoesWhereverThePiecesAreCut) {
    const std::string table = "STR;A;x\nSTR;\xBB\xF9\xD5\xBE;y\nENDSOURCETABLE\r\n";
    const std::string lengthForm =
        Concat({"HTTP/1.1 200 OK\r\nContent-Length: 35\r\n\r\n", table, "@GNSS,GET,ALL,OK*12\r\n"});
    const std::vector<Case> cases = {
        {"NTRIP 1.0 passes as received",
         "SOURCETABLE 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nSTR;A\r\nENDSOURCETABLE\r\n",
         "SOURCETABLE 200 OK\r\nTransfer-Encoding: "
         "chunked\r\n\r\n3\r\nSTR;A\r\nENDSOURCETABLE\r\n"},
        {"a body with a length passes as received", lengthForm, lengthForm},
        {"lower-case sizes, a character cut between chunks",
         Concat({kChunkedHead, "a\r\nSTR;A;x\nST\r\n5\r\nR;\xBB\xF9\xD5\r\n", "14\r\n",
                 "\xBE;y\nENDSOURCETABLE\r\n\r\n0\r\n\r\n"}),
         Concat({kChunkedHead, table})},
        {"upper-case sizes, extensions, a trailer, then the receiver's next line",
         Concat({kChunkedHead, "00C;name=\"v\"\r\nSTR;A;x\nSTR;\r\n17 ; last\r\n",
                 "\xBB\xF9\xD5\xBE;y\nENDSOURCETABLE\r\n\r\n0\r\nExpires: never\r\n\r\n",
                 "@GNSS,GET,ALL,OK*12\r\n"}),
         Concat({kChunkedHead, table, "@GNSS,GET,ALL,OK*12\r\n"})},
        {"header in any case, bare line feeds in the framing",
         "HTTP/1.0 200 OK\ntransfer-encoding: gzip, CHUNKED\n\n3\nab\n\n2\nc\n\n0\n\n",
         "HTTP/1.0 200 OK\ntransfer-encoding: gzip, CHUNKED\n\nab\nc\n"},
        {"a second answer is read afresh",
         Concat({kChunkedHead, "2\r\nab\r\n0\r\n\r\nHTTP/1.1 200 OK\r\n\r\n2\r\nab\r\n"}),
         Concat({kChunkedHead, "abHTTP/1.1 200 OK\r\n\r\n2\r\nab\r\n"})},
        {"a size line that is none: the rest as received",
         Concat({kChunkedHead, "2\r\nab\r\nSTR;B;x\r\n5\r\n"}),
         Concat({kChunkedHead, "abSTR;B;x\r\n5\r\n"})},
        {"data longer than its size: the rest as received",
         Concat({kChunkedHead, "2\r\nabc\r\n1\r\nd\r\n"}),
         Concat({kChunkedHead, "abc\r\n1\r\nd\r\n"})},
        {"a size no table has", Concat({kChunkedHead, "fffffffffffffffff\r\nab"}),
         Concat({kChunkedHead, "fffffffffffffffff\r\nab"})},
    };
    for (const Case& c : cases) {
        ChunkedBodyDecoder whole;
        EXPECT_EQ(whole.Take(c.received), c.expected) << c.name;
        for (size_t cut = 1; cut < c.received.size(); ++cut) {
            if (TakeInTwo(c.received, cut) != c.expected) {
                ADD_FAILURE() << c.name << ": cut after byte " << cut;
                break;
            }
        }
    }
}

TEST(ChunkedBody, ResetForgetsAnUnfinishedBody) {
    ChunkedBodyDecoder decoder;
    EXPECT_EQ(decoder.Take(Concat({kChunkedHead, "10\r\nab"})), Concat({kChunkedHead, "ab"}));
    decoder.Reset();
    EXPECT_EQ(decoder.Take("10\r\nab"), "10\r\nab");
}

TEST(StatusLines, OnlyAWordThreeDigitsAndAReasonMakeOne) {
    struct Row {
        std::string_view line;
        std::optional<StatusProtocol> protocol;
        int code;
    };
    const Row rows[] = {
        {"HTTP/1.1 200 OK", StatusProtocol::Http, 200},
        {"HTTP/1.0 401 Unauthorized", StatusProtocol::Http, 401},
        {"SOURCETABLE 401", StatusProtocol::SourceTable, 401},
        {"ICY 200 OK", StatusProtocol::Icy, 200},
        {"HTTP/2 200 OK", std::nullopt, 0},
        {"HTTP/1.1 2000 OK", std::nullopt, 0},
        {"HTTP/1.1 20 OK", std::nullopt, 0},
        {" HTTP/1.1 200 OK", std::nullopt, 0},
        {"http/1.1 200 OK", std::nullopt, 0},
        {"ICY 4x1", std::nullopt, 0},
    };
    for (const Row& row : rows) {
        const std::optional<StatusLine> bytes = ParseStatusLine(row.line);
        const std::u16string text(row.line.begin(), row.line.end());
        EXPECT_EQ(bytes.has_value(), row.protocol.has_value()) << row.line;
        EXPECT_EQ(ParseStatusLine(text).has_value(), row.protocol.has_value()) << row.line;
        if (bytes && row.protocol) {
            EXPECT_EQ(bytes->protocol, *row.protocol) << row.line;
            EXPECT_EQ(bytes->code, row.code) << row.line;
        }
    }
}
