#include "network/ChunkedBodyDecoder.h"

#include <gtest/gtest.h>

#include <string>

using namespace quorlex;

namespace {

std::string Head(std::string_view body) {
    return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + std::string(body);
}

} // namespace

// Chunks framed with CR LF are covered with the whole intake; here bare line
// feeds, what passes unchanged, and a body that breaks its framing, handed on
// from the break.
TEST(ChunkedBody, WhatIsNotWellFramedPassesAsReceivedWhereverItIsCut) {
    const std::string ntrip1 =
        "SOURCETABLE 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nSTR\r\n";
    const std::string length = "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\n3\r\nSTR;A\r\n";
    const struct {
        std::string received;
        std::string expected;
    } cases[] = {
        {ntrip1, ntrip1},
        {length, length},
        {"HTTP/1.0 200 OK\ntransfer-encoding: gzip, CHUNKED\n\n3\nab\n\n0\n\nHTTP/1.1 "
         "200\n\n2\nab\n",
         "HTTP/1.0 200 OK\ntransfer-encoding: gzip, CHUNKED\n\nab\nHTTP/1.1 200\n\n2\nab\n"},
        {Head("2\r\nab\r\nSTR;B;x\r\n5\r\n"), Head("abSTR;B;x\r\n5\r\n")},
        {Head("2\r\nabc\r\n1\r\nd\r\n"), Head("abc\r\n1\r\nd\r\n")},
        {Head("fffffffffffffffff\r\nab"), Head("fffffffffffffffff\r\nab")},
    };
    for (const auto& c : cases) {
        for (size_t cut = 0; cut < c.received.size(); ++cut) {
            ChunkedBodyDecoder decoder;
            std::string out = decoder.Take(std::string_view(c.received).substr(0, cut));
            out += decoder.Take(std::string_view(c.received).substr(cut));
            if (out != c.expected) {
                ADD_FAILURE() << c.received << "cut after byte " << cut << ": " << out;
                break;
            }
        }
    }
}
