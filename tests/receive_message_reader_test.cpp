#include "receive/message_reader.hpp"
#include "sds/data_packet.hpp"
#include "sds/dump_header.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pelitor::receive {
namespace {

// Each message found, as "kind@offset/length", with its type and number where known.
std::vector<std::string> read(const std::vector<std::uint8_t>& bytes) {
    MessageReader reader;
    std::vector<std::string> found;
    const auto note = [&](const Message& message) {
        static const char* const kinds[] = {"header", "packet", "handshake", "foreign", "broken"};
        std::string text = std::string(kinds[static_cast<int>(message.kind)]) + "@" +
                           std::to_string(message.offset) + "/" + std::to_string(message.length);
        if (const auto type = message.type(); type && message.kind == MessageKind::broken) {
            text += " type " + std::to_string(*type);
        }
        if (const auto number = message.packetNumber();
            number && message.kind == MessageKind::broken) {
            text += " number " + std::to_string(*number);
        }
        found.push_back(text);
    };
    for (const std::uint8_t byte : bytes) {
        if (const auto message = reader.take(byte)) {
            note(*message);
        }
    }
    if (const auto message = reader.finish()) {
        note(*message);
    }
    return found;
}

std::vector<std::uint8_t> packet(std::uint8_t number) {
    const std::vector<std::uint8_t> samples(120, 0x11);
    const DataPacket bytes = makeDataPacket(0, number, samples, wordFormatFor({2, 16, 16}));
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> operator+(std::vector<std::uint8_t> a,
                                    const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(MessageReader, FindsEachMessageWithItsOffset) {
    const DumpHeaderMessage header = makeDumpHeader({.bitsPerSample = 16, .periodNs = 22675});
    const std::vector<std::uint8_t> ack{0xF0, 0x7E, 0x00, 0x7F, 0x00, 0xF7};
    EXPECT_EQ(read(std::vector<std::uint8_t>(header.begin(), header.end()) + ack + packet(0)),
              (std::vector<std::string>{"header@0/21", "handshake@21/6", "packet@27/127"}));
}

TEST(MessageReader, SkipsRealTimeBytesEvenInsideAMessageButCountsTheirOffset) {
    std::vector<std::uint8_t> bytes = packet(3);
    bytes.insert(bytes.begin() + 60, {0xF8, 0xFE});
    EXPECT_EQ(read(std::vector<std::uint8_t>{0xFE} + bytes + std::vector<std::uint8_t>{0xFA}),
              (std::vector<std::string>{"packet@1/127"}));
}

TEST(MessageReader, TellsBrokenAndForeignMessagesApart) {
    const std::vector<std::uint8_t> cut = packet(5);
    const struct {
        std::vector<std::uint8_t> bytes;
        std::vector<std::string> found;
    } cases[]{
        // A note-on inside a packet ends it; the note's data bytes are stray and skipped.
        {std::vector<std::uint8_t>(cut.begin(), cut.begin() + 40) +
             std::vector<std::uint8_t>{0x90, 0x3C, 0x40},
         {"broken@0/40 type 2 number 5"}},
        // F0 starts the next message and breaks the one before.
        {std::vector<std::uint8_t>(cut.begin(), cut.begin() + 3) + packet(6),
         {"broken@0/3", "packet@3/127"}},
        // F7 at the wrong length: one byte lost, or one too many.
        {std::vector<std::uint8_t>(cut.begin() + 1, cut.end()), {}},
        {std::vector<std::uint8_t>(cut.begin(), cut.begin() + 100) +
             std::vector<std::uint8_t>{0xF7},
         {"broken@0/101 type 2 number 5"}},
        {std::vector<std::uint8_t>(cut.begin(), cut.end() - 1) + std::vector<std::uint8_t>(200, 1) +
             std::vector<std::uint8_t>{0xF7},
         {"broken@0/327 type 2 number 5"}},
        // The input ends inside a header.
        {{0xF0, 0x7E, 0x00, 0x01, 0x00}, {"broken@0/5 type 1"}},
        // Another maker's message, a real-time universal one, and a dump request.
        {{0xF0, 0x43, 0x10, 0x01, 0xF7, 0xF0, 0x7F, 0x00, 0x02, 0x01, 0xF7},
         {"foreign@0/5", "foreign@5/6"}},
        {{0xF0, 0x7E, 0x00, 0x03, 0x00, 0x00, 0xF7}, {"foreign@0/7"}},
        // A handshake message of the wrong length, and a foreign one cut short.
        {{0xF0, 0x7E, 0x00, 0x7F, 0xF7}, {"broken@0/5 type 127"}},
        {{0xF0, 0x43, 0x10, 0xF0, 0x7E, 0x00, 0x7E, 0x01, 0xF7}, {"foreign@0/3", "handshake@3/6"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read(c.bytes), c.found) << c.found.size();
    }
}

} // namespace
} // namespace pelitor::receive
