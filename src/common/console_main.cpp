#include "common/console_main.hpp"

#include "common/exit_status.hpp"
#include "common/message_line.hpp"
#include "platform/platform.hpp"
#include "platform/process.hpp"

#include <exception>
#include <iostream>
#include <vector>

namespace pelitor {

int consoleMain(int argc, char** argv, std::string_view program, ProgramRun run) {
    // Before a port or a file is opened: neither must take a console's number.
    platform::reopenClosedStandardStreams();
    // A console that has gone then fails a write, and the run goes on to its cleanup.
    platform::handleEndingSignals();
    try {
        std::vector<std::string> arguments = platform::commandLine(argc, argv);
        arguments.erase(arguments.begin(), arguments.begin() + (arguments.empty() ? 0 : 1));
        const int status = run(arguments, std::cout, std::cerr);
        // What was asked is done; a lost answer is told once (a lost standard error cannot be).
        if (!std::cout) {
            writeMessageLine(std::cerr, program, "standard output", "could not be written");
        }
        return status;
    } catch (const std::exception& error) {
        // A port, if open, has been given back its settings, and any temporary output removed,
        // as the run unwound.
        writeMessageLine(std::cerr, program, "", error.what());
        return exitIoError;
    }
}

} // namespace pelitor
