#include "platform/stderr_terminal.hpp"

#include <unistd.h>

namespace pelitor::platform {

bool stderrIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

} // namespace pelitor::platform
