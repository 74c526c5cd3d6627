#include "platform/process.hpp"
#include "send/send_report.hpp"
#include "send/sender.hpp"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    namespace platform = pelitor::platform;
    // Before the port is opened: it must not take a console's number.
    platform::reopenClosedStandardStreams();
    // A console that has gone then fails a write, and the run goes on to give the port back.
    platform::handleEndingSignals();
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        const int status = pelitor::send::runSender(arguments, std::cout, std::cerr);
        // What was asked is done; a lost answer is told once (a lost standard error cannot be).
        if (!std::cout) {
            pelitor::send::complain(std::cerr, "standard output", "could not be written");
        }
        return status;
    } catch (const std::exception& error) {
        // The port, if open, has been given back its settings as the run unwound.
        pelitor::send::complain(std::cerr, "", error.what());
        return pelitor::exitIoError;
    }
}
