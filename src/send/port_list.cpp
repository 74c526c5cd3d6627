#include "send/port_list.hpp"

#include "common/exit_status.hpp"
#include "common/message_line.hpp"
#include "platform/alsa_midi_port.hpp"
#include "send/port_name.hpp"

namespace pelitor::send {

int listPorts(std::ostream& out, std::ostream& errors, std::string_view program) {
    const auto ports = platform::rawMidiPorts();
    if (!ports) {
        writeMessageLine(errors, program, "", ports.failure().message);
        return exitUnavailable;
    }
    if (ports->empty()) {
        writeMessageLine(errors, program, "",
                         "alsa-lib finds no sound card with a raw MIDI port (is the MIDI "
                         "interface connected and switched on?)");
        return exitUnavailable;
    }
    for (const std::string& line : describePorts(*ports)) {
        out << line << '\n';
    }
    out << std::flush;
    return exitSuccess;
}

} // namespace pelitor::send
