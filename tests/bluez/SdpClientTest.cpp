#include "link/bluez/SdpClient.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <functional>

using namespace quorlex;

namespace {

using Bytes = std::vector<uint8_t>;

// Answers each request through a script that sees the request.
class ScriptedTransport : public SdpTransport {
public:
    using Reply = std::function<Bytes(const Bytes& request)>;

    int Send(const Bytes& pdu) override {
        requests.push_back(pdu);
        return sendError;
    }
    int Receive(Bytes& pdu) override {
        if (replies.empty()) {
            return ETIMEDOUT;
        }
        pdu = replies.front()(requests.back());
        replies.pop_front();
        return 0;
    }

    std::vector<Bytes> requests;
    std::deque<Reply> replies;
    int sendError = 0;
};

uint16_t TransactionOf(const Bytes& request) {
    return static_cast<uint16_t>((request[1] << 8) | request[2]);
}

// A response to request carrying part and the continuation state.
ScriptedTransport::Reply Part(const Bytes& part, const Bytes& continuation = {}) {
    return [part, continuation](const Bytes& request) {
        const size_t params = 2 + part.size() + 1 + continuation.size();
        Bytes pdu = {0x07,
                     request[1],
                     request[2],
                     static_cast<uint8_t>(params >> 8),
                     static_cast<uint8_t>(params & 0xFF),
                     static_cast<uint8_t>(part.size() >> 8),
                     static_cast<uint8_t>(part.size() & 0xFF)};
        // Room for the whole reply first: growing a vector GCC 12 knows to hold seven
        // bytes draws a false -Warray-bounds at -O3.
        pdu.reserve(5 + params);
        pdu.insert(pdu.end(), part.begin(), part.end());
        pdu.push_back(static_cast<uint8_t>(continuation.size()));
        pdu.insert(pdu.end(), continuation.begin(), continuation.end());
        return pdu;
    };
}

ScriptedTransport::Reply Fixed(const Bytes& pdu) {
    return [pdu](const Bytes&) { return pdu; };
}

// One record: protocol descriptor list L2CAP, RFCOMM channel 3.
const Bytes kAttributeLists = {0x35, 0x13, 0x35, 0x11, 0x09, 0x00, 0x04, 0x35, 0x0C, 0x35, 0x03,
                               0x19, 0x01, 0x00, 0x35, 0x05, 0x19, 0x00, 0x03, 0x08, 0x03};

} // namespace

TEST(SdpClient, AsksForTheSerialPortDescriptorListAndReturnsTheRawLists) {
    ScriptedTransport transport;
    transport.replies.push_back(Part(kAttributeLists));
    Bytes lists;
    ASSERT_EQ(SdpClient(transport).SearchAttribute(0x1101, 0x0004, lists), 0);
    EXPECT_EQ(lists, kAttributeLists);

    ASSERT_EQ(transport.requests.size(), 1U);
    const Bytes expected = {0x06, 0x00, 0x01, 0x00, 0x0F,                    // header
                            0x35, 0x03, 0x19, 0x11, 0x01,                    // search pattern
                            0xFF, 0xFF,                                      // byte limit
                            0x35, 0x05, 0x0A, 0x00, 0x04, 0x00, 0x04, 0x00}; // range, no state
    EXPECT_EQ(transport.requests[0], expected);
}

TEST(SdpClient, FollowsContinuationStatesAndJoinsTheParts) {
    ScriptedTransport transport;
    const Bytes first(kAttributeLists.begin(), kAttributeLists.begin() + 7);
    const Bytes second(kAttributeLists.begin() + 7, kAttributeLists.begin() + 15);
    const Bytes third(kAttributeLists.begin() + 15, kAttributeLists.end());
    transport.replies.push_back(Part(first, {0xAA, 0xBB}));
    transport.replies.push_back(Part(second, Bytes(16, 0x5A)));
    transport.replies.push_back(Part(third));
    Bytes lists;
    ASSERT_EQ(SdpClient(transport).SearchAttribute(0x1101, 0x0004, lists), 0);
    EXPECT_EQ(lists, kAttributeLists);

    ASSERT_EQ(transport.requests.size(), 3U);
    // Each follow-up repeats the question with the state the server gave, under a new transaction.
    const Bytes& followUp = transport.requests[1];
    EXPECT_NE(TransactionOf(followUp), TransactionOf(transport.requests[0]));
    EXPECT_EQ(Bytes(followUp.begin() + 5, followUp.end() - 3),
              Bytes(transport.requests[0].begin() + 5, transport.requests[0].end() - 1));
    EXPECT_EQ(Bytes(followUp.end() - 3, followUp.end()), (Bytes{0x02, 0xAA, 0xBB}));
    EXPECT_EQ(followUp[4], 0x0F + 2);
    EXPECT_EQ(transport.requests[2].size(), 20U + 16U);
    EXPECT_EQ(transport.requests[2][19], 16);
}

TEST(SdpClient, MalformedOrForeignAnswersAreRefused) {
    struct Case {
        const char* what;
        ScriptedTransport::Reply reply;
        int error;
    };
    const std::vector<Case> cases = {
        {"error response", Fixed({0x01, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03}), EPROTO},
        {"other transaction", Fixed({0x07, 0x12, 0x34, 0x00, 0x03, 0x00, 0x00, 0x00}), EBADMSG},
        {"short header", Fixed({0x07, 0x00}), EBADMSG},
        {"unexpected pdu", Fixed({0x03, 0x00, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00}), EBADMSG},
        {"parameters cut off", Fixed({0x07, 0x00, 0x01, 0x00, 0x09, 0x00, 0x04, 0x35}), EBADMSG},
        {"byte count past the end",
         Fixed({0x07, 0x00, 0x01, 0x00, 0x05, 0x00, 0x09, 0x35, 0x00, 0x00}), EBADMSG},
        {"no continuation byte", Fixed({0x07, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00}), EBADMSG},
        {"continuation over 16 bytes", Part({0x35, 0x00}, Bytes(17, 1)), EBADMSG},
        {"trailing bytes inside parameters",
         Fixed({0x07, 0x00, 0x01, 0x00, 0x05, 0x00, 0x00, 0x00, 0xEE, 0xEE}), EBADMSG},
    };
    for (const Case& c : cases) {
        ScriptedTransport transport;
        transport.replies.push_back(c.reply);
        Bytes lists = {0x42};
        EXPECT_EQ(SdpClient(transport).SearchAttribute(0x1101, 0x0004, lists), c.error) << c.what;
        EXPECT_EQ(lists, Bytes{0x42}) << c.what;
    }
}

TEST(SdpClient, EndlessContinuationAndTransportFailuresEndTheSearch) {
    ScriptedTransport endless;
    for (int i = 0; i <= SdpClient::kMaxRounds; ++i) {
        endless.replies.push_back(Part({0x01}, {0x01}));
    }
    Bytes lists;
    EXPECT_EQ(SdpClient(endless).SearchAttribute(0x1101, 0x0004, lists), E2BIG);
    EXPECT_EQ(endless.requests.size(), static_cast<size_t>(SdpClient::kMaxRounds));
    EXPECT_TRUE(lists.empty());

    ScriptedTransport huge;
    const Bytes big(0xF000, 0x00);
    for (int i = 0; i < 5; ++i) {
        huge.replies.push_back(Part(big, {0x01}));
    }
    EXPECT_EQ(SdpClient(huge).SearchAttribute(0x1101, 0x0004, lists), E2BIG);
    EXPECT_EQ(huge.requests.size(), 2U); // stops as soon as the limit is passed

    ScriptedTransport silent;
    EXPECT_EQ(SdpClient(silent).SearchAttribute(0x1101, 0x0004, lists), ETIMEDOUT);

    ScriptedTransport broken;
    broken.sendError = ECONNRESET;
    broken.replies.push_back(Part(kAttributeLists));
    EXPECT_EQ(SdpClient(broken).SearchAttribute(0x1101, 0x0004, lists), ECONNRESET);
    EXPECT_TRUE(lists.empty());
}
