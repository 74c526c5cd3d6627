#include "sds/handshake_message.hpp"

#include <gtest/gtest.h>

namespace pelitor {
namespace {

TEST(HandshakeMessage, CarriesThePacketNumberOfTheIndex) {
    EXPECT_EQ(makeHandshake(cancelType, 0x05, 130),
              (HandshakeMessage{0xF0, 0x7E, 0x05, 0x7D, 0x02, 0xF7}));
    for (const std::uint8_t type : {ackType, nakType, cancelType, waitType}) {
        EXPECT_EQ(parseHandshake(makeHandshake(type, 0x7F, 255)), (Reply{0x7F, type, 0x7F}));
    }
    EXPECT_FALSE(parseHandshake(makeDumpRequest({})));
}

TEST(DumpRequest, NamesTheSampleLowSevenBitsFirst) {
    const DumpRequest request{.deviceChannel = 0x11, .sampleNumber = 300}; // 2 * 128 + 44
    EXPECT_EQ(makeDumpRequest(request),
              (DumpRequestMessage{0xF0, 0x7E, 0x11, 0x03, 0x2C, 0x02, 0xF7}));
    EXPECT_EQ(parseDumpRequest(makeDumpRequest(request)), request);
    EXPECT_FALSE(parseDumpRequest(makeHandshake(ackType, 0x11, 0)));
    const DumpRequestMessage statusInside{0xF0, 0x7E, 0x11, 0x03, 0x2C, 0x82, 0xF7};
    EXPECT_FALSE(parseDumpRequest(statusInside));
}

} // namespace
} // namespace pelitor
