#include "app/exit_status.hpp"
#include "app/platform.hpp"
#include "app/run.hpp"

#include <exception>
#include <iostream>
#include <new>

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments = pelitor::platform::commandLine(argc, argv);
        return pelitor::run(arguments,
                            {std::cout, std::cerr, pelitor::platform::stdoutIsTerminal()});
    } catch (const std::bad_alloc&) {
        // Any temporary output is removed as the run unwinds.
        std::cerr << "Abnormal program termination\n";
        return pelitor::exitAbnormal;
    } catch (const std::exception& error) {
        std::cerr << "pelitor: " << error.what() << '\n';
        return pelitor::exitAbnormal;
    }
}
