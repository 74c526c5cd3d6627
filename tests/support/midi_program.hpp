#pragma once

// How pelitor-send and pelitor-receive are started against a simulated sampler. Natively: the
// built binary, given the pseudo-terminal's path as PORT. For the Windows build under Wine:
// the command in PELITOR_SEND_COMMAND or PELITOR_RECEIVE_COMMAND, given the port named in
// PELITOR_PORT_NAME, which a stand-in for the system's MIDI library carries to and from the
// pseudo-terminal whose path is in the program's PELITOR_STAND_IN_PORT.

#include "support/simulated_sampler.hpp"

#include <csignal>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace pelitor::test {

// Whether the MIDI programs under test are the Windows build, on the stand-in's port.
inline bool windowsPorts() {
    return std::getenv("PELITOR_PORT_NAME") != nullptr;
}

// A command line to start, and what the child's environment gains (NAME=value).
struct Launch {
    std::vector<std::string> command;
    std::vector<std::string> environment;
};

class MidiProgram {
  public:
    MidiProgram(const char* commandVariable, std::string binary) {
        const char* command = std::getenv(commandVariable);
        if (command == nullptr) {
            words_.push_back(std::move(binary));
            return;
        }
        std::istringstream words(command);
        for (std::string word; words >> word;) {
            words_.push_back(word);
        }
    }

    // Runs it with `options`, then the port at the pseudo-terminal `terminal`, then `rest`.
    Launch on(const std::string& terminal, const std::vector<std::string>& options,
              const std::vector<std::string>& rest) const {
        Launch launch{words_, {}};
        launch.command.insert(launch.command.end(), options.begin(), options.end());
        if (const char* name = std::getenv("PELITOR_PORT_NAME")) {
            launch.command.push_back(name);
            launch.environment.push_back("PELITOR_STAND_IN_PORT=" + terminal);
        } else {
            launch.command.push_back(terminal);
        }
        launch.command.insert(launch.command.end(), rest.begin(), rest.end());
        return launch;
    }

  private:
    std::vector<std::string> words_;
};

#ifdef PELITOR_SEND_BINARY
inline const MidiProgram sendProgram{"PELITOR_SEND_COMMAND", PELITOR_SEND_BINARY};
#endif
#ifdef PELITOR_RECEIVE_BINARY
inline const MidiProgram receiveProgram{"PELITOR_RECEIVE_COMMAND", PELITOR_RECEIVE_BINARY};
#endif

// How a program ended, from its exit status and the signal it died of (as BackgroundProgram
// gives them), in words a failed expectation shows.
inline std::string ending(int status, int diedOf) {
    return diedOf != 0 ? "died of signal " + std::to_string(diedOf)
                       : "exited with " + std::to_string(status);
}

// How Ctrl-C ends a program: natively it dies of SIGINT, so that a shell sees it (and reports
// 130); a Windows program exits with STATUS_CONTROL_C_EXIT, which reaches Wine's parent as 58.
inline std::string ctrlCEnding() {
    return windowsPorts() ? ending(58, 0) : ending(-1, SIGINT);
}

// Whether the sampler's pseudo-terminal has its settings back, where that is the program's to
// do: Wine opens it as a serial port of its own, and does not restore it on closing.
inline bool terminalRestored(const SimulatedSampler& sampler) {
    return windowsPorts() || sampler.terminalRestored();
}

} // namespace pelitor::test
