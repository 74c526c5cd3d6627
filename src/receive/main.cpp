#include "common/exit_status.hpp"
#include "platform/process.hpp"
#include "receive/receiver.hpp"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    namespace platform = pelitor::platform;
    // Before anything is opened, and before any temporary file exists.
    platform::reopenClosedStandardStreams();
    platform::handleEndingSignals();
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        const int status = pelitor::receive::runReceiver(arguments, std::cout, std::cerr);
        // What was asked is done; a lost answer is told once (a lost standard error cannot be).
        if (!std::cout) {
            pelitor::receive::complain(std::cerr, "standard output", "could not be written");
        }
        return status;
    } catch (const std::exception& error) {
        // Any temporary output has been removed as the run unwound.
        pelitor::receive::complain(std::cerr, "", error.what());
        return pelitor::exitIoError;
    }
}
