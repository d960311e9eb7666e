#include "common/CodePage.h"
#include "network/ChunkedBodyDecoder.h"
#include "sim/CasterTable.h"

#include <gtest/gtest.h>

#include <string>

namespace quorlex::test {
namespace {

constexpr std::string_view kHeadEnd = "\r\n\r\n";

// The caster's bytes: every piece followed by CR LF.
std::string Wire(CasterForm form, const std::vector<std::u16string>& streams) {
    std::string wire;
    for (const std::u16string& piece : CasterTable::Response(form, u"caster", u"2101", streams)) {
        wire += EncodeCp936(piece) + "\r\n";
    }
    return wire;
}

std::string BodyOf(const std::string& wire) {
    const size_t end = wire.find(kHeadEnd);
    return end == std::string::npos ? std::string() : wire.substr(end + kHeadEnd.size());
}

TEST(CasterForms, NtripTwoAnswersFrameTheSameTableInTheirOwnWays) {
    std::vector<std::u16string> streams = CasterTable::DefaultStreams();
    streams.push_back(u"STR;WUHN_CN;武汉基站;RTCM 3.2;1004(1);2;GPS;QXNET;CHN;30.53;114.36;0;0;"
                      u"QXREF;none;B;N;9600;中文");

    const std::string length = Wire(CasterForm::Ntrip2Length, streams);
    const std::string body = BodyOf(length);
    EXPECT_TRUE(length.starts_with("HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\n"));
    EXPECT_NE(length.find("\r\nContent-Length: " + std::to_string(body.size()) + "\r\n"),
              std::string::npos);
    EXPECT_TRUE(body.starts_with("CAS;caster;2101;"));
    EXPECT_TRUE(body.ends_with(";" + EncodeCp936(u"中文") + "\nENDSOURCETABLE\r\n"));
    EXPECT_EQ(body.find('\r'), body.size() - 2); // records end in bare line feeds

    const std::string chunked = Wire(CasterForm::Ntrip2Chunked, streams);
    EXPECT_NE(chunked.find("\r\nTransfer-Encoding: chunked\r\n"), std::string::npos);
    EXPECT_TRUE(chunked.ends_with("\r\n0\r\n\r\n"));
    ChunkedBodyDecoder decoder;
    EXPECT_EQ(BodyOf(decoder.Take(chunked)), body);

    const std::string refusal = Wire(CasterForm::Refusing, streams);
    EXPECT_TRUE(refusal.starts_with("HTTP/1.1 401 Unauthorized\r\n"));
    EXPECT_EQ(BodyOf(refusal), "");
}

} // namespace
} // namespace quorlex::test
