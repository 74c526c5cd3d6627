#include "platform/process.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace pelitor::platform {

namespace {

constexpr int endingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGTERM, SIGALRM,
                                 SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF, SIGXCPU};

sigset_t endingSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : endingSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

// Changed only while the ending signals are held; their handler reads them.
int temporaryDirectory = -1;
char temporaryName[64];

extern "C" void endOnSignal(int signal) {
    removeTemporaryNow();
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigaction(signal, &defaultAction, nullptr);
    raise(signal); // delivered, with its default action, as the handler returns
}

} // namespace

ClosedStandardStreams reopenClosedStandardStreams() {
    bool closed[3];
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        closed[descriptor] = fcntl(descriptor, F_GETFD) == -1 && errno == EBADF;
    }
    // In order, so that each open takes the lowest free number: the closed one.
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (closed[descriptor]) {
            open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
        }
    }
    return {closed[0], closed[1], closed[2]};
}

void handleEndingSignals() {
    struct sigaction action {};
    action.sa_handler = endOnSignal;
    action.sa_mask = endingSignalSet(); // one handler at a time
    for (int signal : endingSignals) {
        struct sigaction previous {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
            sigaction(signal, &action, nullptr);
        }
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, nullptr);
    sigaction(SIGXFSZ, &ignore, nullptr);
}

EndingSignalsHeld::EndingSignalsHeld() {
    static_assert(sizeof(sigset_t) <= sizeof previous_ &&
                  alignof(sigset_t) <= alignof(std::max_align_t));
    const sigset_t set = endingSignalSet();
    sigprocmask(SIG_BLOCK, &set, reinterpret_cast<sigset_t*>(previous_));
}

EndingSignalsHeld::~EndingSignalsHeld() {
    const int error = errno;
    sigprocmask(SIG_SETMASK, reinterpret_cast<const sigset_t*>(previous_), nullptr);
    errno = error;
}

void registerTemporary(const Directory& directory, const std::filesystem::path& name, FileHandle) {
    temporaryDirectory = directory.handle();
    std::strncpy(temporaryName, name.c_str(), sizeof temporaryName - 1);
}

void forgetTemporary() {
    temporaryName[0] = '\0';
}

void removeTemporaryNow() noexcept {
    if (temporaryName[0] != '\0') {
        unlinkat(temporaryDirectory, temporaryName, 0); // async-signal-safe
    }
}

void writeToStandardError(std::string_view text) noexcept {
    while (!text.empty()) {
        const ssize_t written = write(STDERR_FILENO, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace pelitor::platform
