#include "platform/midi_port.hpp"
#include "send/port_name.hpp"

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
    EXPECT_EQ(describePorts(ports), (std::vector<std::string>{
                                        "Dir Device    Name",
                                        "IO  hw:1,0    UM-ONE MIDI 1",
                                        "IO  hw:2,0,0  MIDI Dual Port 1",
                                        "O   hw:2,0,1  MIDI Dual Port 2",
                                        "I   hw:2,0,2  MIDI Dual Port 3",
                                        "O   hw:12,1   Synth",
                                    }));
}

} // namespace
} // namespace pelitor::send
