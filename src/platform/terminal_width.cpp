#include "platform/terminal.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace pelitor::platform {

#ifdef _WIN32

int stderrColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info) == 0) {
        return 0;
    }
    // The visible window, not the buffer, which is often far wider.
    return info.srWindow.Right - info.srWindow.Left + 1;
}

#else

int stderrColumns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) {
        return 0;
    }
    return size.ws_col;
}

#endif

} // namespace pelitor::platform
