#include "platform/terminal.hpp"

#include <cstdlib>
#include <sys/ioctl.h>
#include <unistd.h>

namespace pelitor::platform {

bool isHelpSwitch(std::string_view) {
    return false;
}

bool isTerminal(StandardStream stream) {
    return isatty(stream == StandardStream::output ? STDOUT_FILENO : STDERR_FILENO) != 0;
}

int terminalColumns(StandardStream stream) {
    winsize size{};
    if (ioctl(stream == StandardStream::output ? STDOUT_FILENO : STDERR_FILENO, TIOCGWINSZ,
              &size) != 0) {
        return 0;
    }
    return size.ws_col;
}

bool terminalClearsLines(StandardStream) {
    return true;
}

TerminalText::TerminalText(std::ostream& out)
    : out_(out),
      showsUtf8_(isTerminal(StandardStream::output) &&
                 utf8Locale(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG"))) {}

} // namespace pelitor::platform
