#include "common/port_list.hpp"

#include "common/exit_status.hpp"
#include "common/message_line.hpp"
#include "platform/midi_port.hpp"

namespace pelitor {

int listPorts(std::ostream& out, std::ostream& errors, std::string_view program) {
    const auto lines = platform::midiPortListing();
    if (!lines) {
        writeMessageLine(errors, program, "", lines.failure().message);
        return exitUnavailable;
    }
    for (const std::string& line : *lines) {
        out << line << '\n';
    }
    out << std::flush;
    return exitSuccess;
}

} // namespace pelitor
