#include "platform/process.hpp"

#include "platform/posix/graceful_end_wake.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <iterator>
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

// What a GracefulEnd noted, the pipe that wakes a port's wait, and the actions it gives back.
volatile std::sig_atomic_t noted = 0;
int wakePipe[2] = {-1, -1};
struct sigaction replaced[std::size(endingSignals)];
bool wasReplaced[std::size(endingSignals)];

extern "C" void noteSignal(int signal) {
    const int error = errno; // the call it interrupted may yet read it
    if (noted == 0) {
        noted = signal;
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(wakePipe[1], &byte, 1); // async-signal-safe
    errno = error;
}

bool openWakePipe() {
#if PELITOR_LINUX_CALLS
    return pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) == 0;
#else
    if (pipe(wakePipe) != 0) {
        return false;
    }
    for (const int end : wakePipe) {
        fcntl(end, F_SETFD, FD_CLOEXEC);
        fcntl(end, F_SETFL, O_NONBLOCK);
    }
    return true;
#endif
}

} // namespace

int gracefulEndWakeDescriptor() noexcept {
    return wakePipe[0];
}

GracefulEnd::GracefulEnd() {
    noted = 0;
    if (!openWakePipe()) {
        wakePipe[0] = wakePipe[1] = -1; // signals are still noted, only waits are not woken
    }
    struct sigaction action {};
    action.sa_handler = noteSignal;
    action.sa_mask = endingSignalSet();
    for (std::size_t i = 0; i < std::size(endingSignals); ++i) {
        wasReplaced[i] = sigaction(endingSignals[i], nullptr, &replaced[i]) == 0 &&
                         replaced[i].sa_handler != SIG_IGN &&
                         sigaction(endingSignals[i], &action, nullptr) == 0;
    }
}

GracefulEnd::~GracefulEnd() {
    for (std::size_t i = 0; i < std::size(endingSignals); ++i) {
        if (wasReplaced[i]) {
            sigaction(endingSignals[i], &replaced[i], nullptr);
        }
    }
    for (int& end : wakePipe) {
        if (end >= 0) {
            close(end);
        }
        end = -1;
    }
    if (noted != 0) {
        raise(noted); // now handled as before: the process ends of it
    }
}

bool GracefulEnd::signalled() const {
    return noted != 0;
}

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
