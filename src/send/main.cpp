#include "send/send_report.hpp"
#include "send/sender.hpp"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        return pelitor::send::runSender(arguments, std::cout, std::cerr);
    } catch (const std::exception& error) {
        // The port, if open, has been given back its settings as the run unwound.
        pelitor::send::complain(std::cerr, "", error.what());
        return pelitor::exitIoError;
    }
}
