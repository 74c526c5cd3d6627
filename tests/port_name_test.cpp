#include "platform/alsa_port_names.hpp"
#include "platform/device_choice.hpp"
#include "platform/midi_port.hpp"
#include "platform/short_message.hpp"

#include <gtest/gtest.h>

namespace pelitor::send {
namespace {

TEST(PortName, PathsStartWithASlashOrADotAndAnythingElseIsAnAlsaName) {
    const std::vector<std::pair<std::string, bool>> cases{
        {"/dev/ttyUSB0", true}, {"./pty", true},  {"../pty", true}, {"hw:1,0", false},
        {"hw:UM1,0", false},    {"plain", false}, {"", false},      {"~/pty", false},
    };
    for (const auto& [port, isPath] : cases) {
        EXPECT_EQ(platform::namesDeviceFile(port), isPath) << port;
    }
}

TEST(PortList, ShowsDirectionNameToTypeAndPortNameAsAmidiDoes) {
    const std::vector<platform::RawMidiPort> ports{
        {1, 0, 0, 1, true, true, "UM-ONE MIDI 1"},
        {2, 0, 0, 3, true, true, "MIDI Dual Port 1"},
        {2, 0, 1, 3, false, true, "MIDI Dual Port 2"},
        {2, 0, 2, 3, true, false, "MIDI Dual Port 3"},
        {12, 1, 0, 1, false, true, "Synth"},
    };
    EXPECT_EQ(platform::describePorts(ports), (std::vector<std::string>{
                                                  "Dir Device    Name",
                                                  "IO  hw:1,0    UM-ONE MIDI 1",
                                                  "IO  hw:2,0,0  MIDI Dual Port 1",
                                                  "O   hw:2,0,1  MIDI Dual Port 2",
                                                  "I   hw:2,0,2  MIDI Dual Port 3",
                                                  "O   hw:12,1   Synth",
                                              }));
}

// Windows numbers its outputs and inputs apart; two interfaces of one make share a name.
const platform::MidiDevices devices{
    {"Microsoft GS Wavetable Synth", "UM-ONE", "USB MIDI", "USB MIDI"},
    {"UM-ONE", "USB MIDI", "USB MIDI", "In Only"}};

TEST(DeviceChoice, PortAndInputNameDevicesByNumberWholeNameOrUniqueStart) {
    struct Case {
        platform::PortRequest request;
        std::optional<std::size_t> output;
        std::optional<std::size_t> input;
        std::string failure;
    };
    const std::vector<Case> cases{
        {{"um-one"}, 1, 0, ""},
        {{"1"}, 1, 0, ""},
        {{"01"}, 1, 0, ""},
        {{"Micro"}, 0, std::nullopt, ""}, // an output alone: it sends in open loop
        {{"usb midi"},
         {},
         {},
         "names 2 MIDI outputs (2 USB MIDI, 3 USB MIDI); give its number, or more of its name"},
        {{"3"}, 3, 2, ""}, // the second of a name pairs with the second input of it
        {{"U"},
         {},
         {},
         "names 3 MIDI outputs (1 UM-ONE, 2 USB MIDI, 3 USB MIDI); give its number, or more of its "
         "name"},
        {{"4"}, {}, {}, "there is no MIDI output 4; they are numbered 0 to 3 (--list shows them)"},
        {{"99999999999"},
         {},
         {},
         "there is no MIDI output 99999999999; they are numbered 0 to 3 (--list shows them)"},
        {{"Roland"}, {}, {}, "no MIDI output has this name (--list shows them)"},
        {{"Micro", "in"}, 0, 3, ""},
        {{"UM-ONE", "2"}, 1, 2, ""},
        {{"UM-ONE", "x"}, {}, {}, "--input x: no MIDI input has this name (--list shows them)"},
        {{"Micro", std::nullopt, true, true},
         {},
         {},
         "MIDI output 0 Microsoft GS Wavetable Synth has no input of its name to hear the sampler "
         "on; name one with --input (--list shows them)"},
        {{"In Only", std::nullopt, false, true}, std::nullopt, 3, ""}, // listening only
        {{"In Only", std::nullopt, true, true},
         {},
         {},
         "no MIDI output has this name (--list shows them)"},
    };
    for (const Case& c : cases) {
        const auto choice = platform::chooseDevices(devices, c.request);
        const std::string name = c.request.port + " " + c.request.input.value_or("");
        if (!c.failure.empty()) {
            ASSERT_FALSE(choice) << name;
            EXPECT_EQ(choice.failure().kind, FailureKind::unavailable) << name;
            EXPECT_EQ(choice.failure().message, c.failure) << name;
            continue;
        }
        ASSERT_TRUE(choice) << name << ": " << choice.failure().message;
        EXPECT_EQ(choice->output, c.output) << name;
        EXPECT_EQ(choice->input, c.input) << name;
    }
    EXPECT_EQ(platform::chooseDevices({}, {"0"}).failure().message,
              "there is no MIDI output at all (--list shows the ports)");
}

TEST(DeviceChoice, ListsOutputsAndInputsApartEachWithItsNumber) {
    EXPECT_EQ(platform::describeDevices({{"Synth", "UM-ONE"}, {}}),
              (std::vector<std::string>{
                  "MIDI outputs (PORT, by number or name):", "  0  Synth", "  1  UM-ONE",
                  "MIDI inputs (--input, where not of PORT's name):", "  (none)"}));
    platform::MidiDevices many;
    many.inputs.assign(11, "In");
    const auto lines = platform::describeDevices(many);
    EXPECT_EQ(lines[3], "   0  In");
    EXPECT_EQ(lines[13], "  10  In");
}

TEST(ShortMessage, UnpacksAsManyBytesAsTheStatusTakes) {
    const std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> cases{
        {0x7F3C90, {0x90, 0x3C, 0x7F}}, // note on
        {0x0005C1, {0xC1, 0x05}},       // program change
        {0x0040D0, {0xD0, 0x40}},       // channel pressure
        {0x4000E0, {0xE0, 0x00, 0x40}}, // pitch bend
        {0x0000F8, {0xF8}},             // clock
        {0x0000FE, {0xFE}},             // active sensing
        {0x0010F1, {0xF1, 0x10}},       // time code quarter frame
        {0x0102F2, {0xF2, 0x02, 0x01}}, // song position
        {0x0003F3, {0xF3, 0x03}},       // song select
        {0x0000F6, {0xF6}},             // tune request
        {0x000040, {}},                 // not a status
        {0x0000F0, {}},                 // system exclusive never comes this way
    };
    for (const auto& [packed, bytes] : cases) {
        const platform::ShortMessage message = platform::unpackShortMessage(packed);
        EXPECT_EQ(
            std::vector<std::uint8_t>(message.bytes.begin(),
                                      message.bytes.begin() + static_cast<long>(message.size)),
            bytes)
            << std::hex << packed;
    }
}

} // namespace
} // namespace pelitor::send
