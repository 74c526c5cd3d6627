#include "app/run.hpp"
#include "platform/platform.hpp"

#include <iostream>

int main(int argc, char** argv) {
    return pelitor::runProgram(argc, argv,
                               {std::cout, std::cerr, pelitor::platform::stdoutIsTerminal()});
}
