#include "link/SdpElement.h"
#include "link/SerialChannel.h"
#include "link/Uuid.h"
#include "link/sim/SdpBuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace quorlex;

namespace {

using Bytes = std::vector<uint8_t>;

// A device's answer written out by hand: one attribute list holding the
// protocol descriptor list ((L2CAP), (RFCOMM, channel 5)).
const Bytes kHandWritten = {
    0x35, 0x13,                   // sequence of attribute lists, 19 bytes
    0x35, 0x11,                   // one attribute list, 17 bytes
    0x09, 0x00, 0x04,             // attribute 0x0004
    0x35, 0x0C,                   // protocol descriptor list, 12 bytes
    0x35, 0x03, 0x19, 0x01, 0x00, // (L2CAP)
    0x35, 0x05, 0x19, 0x00, 0x03, // (RFCOMM,
    0x08, 0x05,                   //  channel 5)
};

const std::array<uint8_t, 16> kRfcomm128 = {0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x10, 0x00,
                                            0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB};
const std::array<uint8_t, 16> kL2cap128 = {0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x10, 0x00,
                                           0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB};

// One record whose protocol descriptor list holds the given descriptors.
Bytes ResponseWith(const std::vector<SdpBytes>& descriptors) {
    const SdpBytes list = SdpSequence(descriptors);
    return SdpSequence({SdpSequence({SdpUnsigned(0x0004, 2), list})});
}

Bytes RfcommWith(const SdpBytes& uuid, const SdpBytes& parameter) {
    return ResponseWith({SdpSequence({SdpUuid16(0x0100)}), SdpSequence({uuid, parameter})});
}

} // namespace

TEST(SerialChannel, ReadsTheChannelOfAHandWrittenAnswer) {
    EXPECT_EQ(SerialChannelFromResponse(kHandWritten), 5);
    EXPECT_EQ(SerialPortServiceResponse(5), kHandWritten);
}

TEST(SerialChannel, RecognisesRfcommInEachUuidSize) {
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(3), SdpUnsigned(9, 1))), 9);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid32(3), SdpUnsigned(9, 1))), 9);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid128(kRfcomm128), SdpUnsigned(9, 1))), 9);
    // Other protocols, whatever their size, name no channel.
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(0x0100), SdpUnsigned(9, 1))), 0);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid32(0x10003), SdpUnsigned(9, 1))), 0);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid128(kL2cap128), SdpUnsigned(9, 1))), 0);
}

TEST(SerialChannel, L2capInLongFormWithItsPsmIsNotTakenForRfcomm) {
    // (L2CAP-128, PSM 3), (RFCOMM, 12): the PSM must not be read as the channel.
    const Bytes response = ResponseWith({
        SdpSequence({SdpUuid128(kL2cap128), SdpUnsigned(3, 2)}),
        SdpSequence({SdpUuid16(3), SdpUnsigned(12, 1)}),
    });
    EXPECT_EQ(SerialChannelFromResponse(response), 12);
}

TEST(SerialChannel, CutsIntegerChannelsToEightBits) {
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(3), SdpUnsigned(0x0102, 2))), 2);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(3), SdpUnsigned(0x00000107, 4))), 7);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(3), SdpSigned(4, 1))), 4);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(3), SdpSigned(0x0203, 2))), 3);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(3), SdpUnsigned(200, 1))), 200);
    // Wider integers and other types give no channel.
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(3), SdpUnsigned(5, 8))), 0);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(3), SdpUnsigned(5, 16))), 0);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(3), SdpText("5"))), 0);
    EXPECT_EQ(SerialChannelFromResponse(RfcommWith(SdpUuid16(3), SdpUuid16(5))), 0);
}

TEST(SerialChannel, SkipsDescriptorsAndRecordsWithoutAChannel) {
    // RFCOMM as the last node of its descriptor has no channel.
    EXPECT_EQ(SerialChannelFromResponse(ResponseWith({SdpSequence({SdpUuid16(3)})})), 0);
    // A channel that cuts to 0 does not end the search.
    const Bytes zeroFirst = ResponseWith({
        SdpSequence({SdpUuid16(3), SdpUnsigned(0x0100, 2)}),
        SdpSequence({SdpUuid16(3), SdpUnsigned(6, 1)}),
    });
    EXPECT_EQ(SerialChannelFromResponse(zeroFirst), 6);
    // A second record is searched when the first has no protocol list.
    const Bytes twoRecords = SdpSequence({
        SdpSequence({SdpUnsigned(0x0001, 2), SdpSequence({SdpUuid16(0x1101)})}),
        SdpSequence({SdpUnsigned(0x0000, 2), SdpUnsigned(0x10000, 4), SdpUnsigned(0x0004, 2),
                     SdpSequence({SdpSequence({SdpUuid16(3), SdpUnsigned(8, 1)})})}),
    });
    EXPECT_EQ(SerialChannelFromResponse(twoRecords), 8);
    // A protocol list given as an alternative is a container too.
    const Bytes alternative = SdpSequence(
        {SdpSequence({SdpUnsigned(0x0004, 2),
                      SdpAlternative({SdpSequence({SdpUuid16(3), SdpUnsigned(3, 1)})})})});
    EXPECT_EQ(SerialChannelFromResponse(alternative), 3);
    // Not a container, or non-container descriptors: nothing.
    EXPECT_EQ(SerialChannelFromResponse(
                  SdpSequence({SdpSequence({SdpUnsigned(0x0004, 2), SdpUuid16(3)})})),
              0);
    EXPECT_EQ(SerialChannelFromResponse(ResponseWith({SdpUuid16(3), SdpUnsigned(4, 1)})), 0);
    EXPECT_EQ(SerialChannelFromResponse(SdpSequence({})), 0);
}

TEST(SerialChannel, MalformedAnswersGiveNoChannel) {
    // Every truncation of a valid answer.
    for (std::size_t size = 0; size < kHandWritten.size(); ++size) {
        const Bytes cut(kHandWritten.begin(), kHandWritten.begin() + static_cast<long>(size));
        EXPECT_EQ(SerialChannelFromResponse(cut), 0) << "cut to " << size;
    }
    Bytes trailing = kHandWritten;
    trailing.push_back(0x00);
    EXPECT_EQ(SerialChannelFromResponse(trailing), 0);
    // The top is not a sequence.
    EXPECT_EQ(SerialChannelFromResponse(SdpAlternative({SdpSequence({})})), 0);
    // An attribute list with an odd number of elements, or a non-16-bit ID.
    EXPECT_EQ(SerialChannelFromResponse(SdpSequence({SdpSequence({SdpUnsigned(4, 2)})})), 0);
    EXPECT_EQ(
        SerialChannelFromResponse(SdpSequence({SdpSequence(
            {SdpUnsigned(4, 4), SdpSequence({SdpSequence({SdpUuid16(3), SdpUnsigned(5, 1)})})})})),
        0);
    // One bad record spoils the whole answer, even after a good one.
    Bytes bad =
        SdpSequence({SdpSequence({SdpUnsigned(4, 2),
                                  SdpSequence({SdpSequence({SdpUuid16(3), SdpUnsigned(5, 1)})})}),
                     SdpSequence({SdpNil()})});
    EXPECT_EQ(SerialChannelFromResponse(bad), 0);
}

TEST(SdpElement, RefusesInvalidDescriptorsAndLengths) {
    // Unsigned integer with a length field; UUID of 8 bytes; nil with a size;
    // boolean of two bytes; a reserved type; text with a fixed size.
    for (const Bytes& bytes :
         {Bytes{0x0D, 0x01, 0x05}, Bytes{0x1B, 1, 2, 3, 4, 5, 6, 7, 8}, Bytes{0x01, 0x00, 0x00},
          Bytes{0x29, 0x01, 0x00}, Bytes{0x48, 0x00}, Bytes{0x20, 'a'}}) {
        EXPECT_FALSE(ParseSdpElement(bytes).has_value()) << int(bytes[0]);
    }
    // A child running past the end of its sequence.
    EXPECT_FALSE(ParseSdpElement(Bytes{0x35, 0x02, 0x09, 0x00, 0x04}).has_value());
    // A 32-bit length far beyond the data.
    EXPECT_FALSE(ParseSdpElement(Bytes{0x37, 0xFF, 0xFF, 0xFF, 0xF0, 0x00}).has_value());
    // Lengths in 8, 16 and 32 bits are all read.
    const Bytes longText = SdpSequence({SdpText(std::string(300, 'x'))});
    const auto parsed = ParseSdpElement(longText);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->items.size(), 1U);
    EXPECT_EQ(parsed->items[0].value.size(), 300U);
    const Bytes longLength{0x37, 0x00, 0x00, 0x00, 0x02, 0x08, 0x07};
    const auto long32 = ParseSdpElement(longLength);
    ASSERT_TRUE(long32.has_value());
    EXPECT_EQ(long32->items.at(0).Number(), 7U);
}

TEST(SdpElement, LimitsNesting) {
    SdpBytes nested = SdpUuid16(3);
    for (int depth = 0; depth < kMaxSdpDepth; ++depth) {
        nested = SdpSequence({nested});
    }
    EXPECT_TRUE(ParseSdpElement(nested).has_value());
    EXPECT_FALSE(ParseSdpElement(SdpSequence({nested})).has_value());
    // Far deeper input is refused without recursing through it.
    constexpr uint32_t kLevels = 100000;
    Bytes deep;
    for (uint32_t level = 0; level < kLevels; ++level) {
        const uint32_t inner = 5 * (kLevels - 1 - level);
        deep.insert(deep.end(), {0x37, uint8_t(inner >> 24), uint8_t(inner >> 16),
                                 uint8_t(inner >> 8), uint8_t(inner)});
    }
    EXPECT_FALSE(ParseSdpElement(deep).has_value());
}

TEST(Uuid, ReadsTheSerialPortClassAndRefusesIncompleteText) {
    const Uuid128 serial = SerialPortServiceClass();
    EXPECT_EQ(serial.data1, 0x00001101U);
    EXPECT_EQ(serial.data2, 0x0000);
    EXPECT_EQ(serial.data3, 0x1000);
    EXPECT_EQ(serial.data4,
              (std::array<uint8_t, 8>{0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB}));
    EXPECT_EQ(ParseUuid("00001101-0000-1000-8000-00805f9b34fb"), serial);
    EXPECT_FALSE(ParseUuid("00001101-0000-1000-8000-00805F9B34").has_value());
    EXPECT_FALSE(ParseUuid("00001101-0000-1000-800000805F9B34FB").has_value());
    EXPECT_FALSE(ParseUuid("0000110G-0000-1000-8000-00805F9B34FB").has_value());
    EXPECT_FALSE(ParseUuid("00001101-0000-1000-8000-00805F9B34FB00").has_value());
}
