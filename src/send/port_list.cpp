#include "send/port_list.hpp"

#include "common/exit_status.hpp"
#include "common/message_line.hpp"
#include "send/port_name.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace pelitor::send {

int listPorts(std::ostream& out, std::ostream& errors, std::string_view program) {
    std::vector<std::string> fileNames;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", error)) {
        fileNames.push_back(entry.path().filename().string());
    }
    std::ifstream cardsFile("/proc/asound/cards");
    const std::string cards(std::istreambuf_iterator<char>(cardsFile), {});
    const std::vector<std::string> ports = describePorts(fileNames, parseSoundCards(cards));
    if (ports.empty()) {
        writeMessageLine(errors, program, "",
                         "no raw MIDI ports in /dev/snd (is the MIDI interface connected and "
                         "switched on?)");
        return exitUnavailable;
    }
    for (const std::string& port : ports) {
        out << port << '\n';
    }
    out << std::flush;
    return exitSuccess;
}

} // namespace pelitor::send
