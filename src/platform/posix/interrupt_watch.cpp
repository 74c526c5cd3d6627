#include "platform/interrupt_watch.hpp"

#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace pelitor::platform {
namespace {

constexpr int watched[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t caught = 0;
int wakePipe[2] = {-1, -1};
struct sigaction previous[std::size(watched)];

extern "C" void note(int signal) {
    caught = signal;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(wakePipe[1], &byte, 1); // async-signal-safe
}

} // namespace

InterruptWatch::InterruptWatch() {
    caught = 0;
    if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        wakePipe[0] = wakePipe[1] = -1; // signals are still noted, only waits are not woken
    }
    struct sigaction action {};
    action.sa_handler = note;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(watched); ++i) {
        sigaction(watched[i], &action, &previous[i]);
    }
}

InterruptWatch::~InterruptWatch() {
    for (std::size_t i = 0; i < std::size(watched); ++i) {
        sigaction(watched[i], &previous[i], nullptr);
    }
    for (int& end : wakePipe) {
        if (end >= 0) {
            close(end);
        }
        end = -1;
    }
}

int InterruptWatch::fd() const {
    return wakePipe[0];
}

int InterruptWatch::signal() const {
    return caught;
}

} // namespace pelitor::platform
