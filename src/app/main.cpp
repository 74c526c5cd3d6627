#include "app/run.hpp"
#include "platform/platform.hpp"
#include "platform/terminal.hpp"

#include <iostream>

int main(int argc, char** argv) {
    const pelitor::platform::TerminalText terminal(std::cout);
    return pelitor::runProgram(
        argc, argv,
        {std::cout, std::cerr, pelitor::platform::stdoutIsTerminal(),
         terminal.showsUtf8() ? pelitor::LabelText::utf8 : pelitor::LabelText::shiftJis});
}
