#include "app/exit_status.hpp"
#include "app/run.hpp"
#include "platform/platform.hpp"
#include "platform/process.hpp"
#include "platform/terminal.hpp"

#include <exception>
#include <iostream>

namespace {

// Where the runtime gives up, even when it could not allocate the exception that reports
// running out of memory: the program's words for that, its status, and no temporary file
// left behind. Nothing here allocates.
[[noreturn]] void abnormalTermination() noexcept {
    pelitor::platform::removeTemporaryNow();
    pelitor::platform::writeToStandardError("Abnormal program termination\n");
    pelitor::platform::exitNow(pelitor::exitAbnormal);
}

} // namespace

int main(int argc, char** argv) {
    namespace platform = pelitor::platform;
    std::set_terminate(abnormalTermination);
    // Before anything is opened, and before any temporary file exists.
    const platform::ClosedStandardStreams closed = platform::reopenClosedStandardStreams();
    platform::handleEndingSignals();
    // The program writes only through the C++ streams; unsynchronized, each progress mark is a
    // store into cout's own buffer rather than a call into stdio.
    std::ios::sync_with_stdio(false);
    const platform::TerminalText terminal(std::cout);
    const auto labels =
        terminal.showsUtf8() ? pelitor::LabelText::utf8 : pelitor::LabelText::shiftJis;
    return pelitor::runProgram(
        argc, argv,
        {std::cout, std::cerr, platform::isTerminal(platform::StandardStream::output), labels},
        closed.output);
}
