#include "platform/process.hpp"

#include "platform/windows/graceful_end_wake.hpp"

#include <csignal>
#include <cwchar>
#include <io.h>
#include <iterator>
#include <windows.h>

namespace pelitor::platform {

namespace {

wchar_t temporaryPath[32768];
FileHandle temporaryFile = invalidFile;

constexpr int endingSignals[] = {SIGINT, SIGTERM, SIGBREAK};

// Windows runs a console's Ctrl-C handler on a thread of its own, while the program goes on:
// holding the signals back there means keeping the handler out, until a temporary file that
// has been created is registered too, or one that was put in place is forgotten. The same
// thread may take it again.
class RegistrationLock {
  public:
    RegistrationLock() { InitializeCriticalSection(&section_); }
    void enter() { EnterCriticalSection(&section_); }
    void leave() { LeaveCriticalSection(&section_); }

  private:
    CRITICAL_SECTION section_;
};

RegistrationLock registration;

// A program ended by Ctrl-C or Ctrl-Break ends with the status Windows gives one: a parent
// tells it from every status the program chooses (the runtime's own exit would be 3).
void endOnSignal(int signal) {
    registration.enter(); // never left: the process ends here
    removeTemporaryNow();
    if (signal == SIGINT || signal == SIGBREAK) {
        ExitProcess(STATUS_CONTROL_C_EXIT);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

volatile std::sig_atomic_t noted = 0;
using Handler = void (*)(int);
Handler replaced[std::size(endingSignals)];
// Set when a signal is noted, for a port's wait to wake on; made once, and reset by each
// GracefulEnd.
HANDLE wake = nullptr;
volatile LONG gracefulLives = 0;

void noteSignal(int signal) {
    if (noted == 0) {
        noted = signal;
    }
    SetEvent(wake);
    std::signal(signal, noteSignal); // the runtime resets a handler before it calls it
}

} // namespace

HANDLE gracefulEndWakeEvent() noexcept {
    return gracefulLives != 0 ? wake : nullptr;
}

GracefulEnd::GracefulEnd() {
    noted = 0;
    if (wake == nullptr) {
        wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ResetEvent(wake);
    gracefulLives = 1;
    for (std::size_t i = 0; i < std::size(endingSignals); ++i) {
        replaced[i] = std::signal(endingSignals[i], noteSignal);
        if (replaced[i] == SIG_IGN) {
            std::signal(endingSignals[i], SIG_IGN);
        }
    }
}

GracefulEnd::~GracefulEnd() {
    gracefulLives = 0;
    for (std::size_t i = 0; i < std::size(endingSignals); ++i) {
        std::signal(endingSignals[i], replaced[i]);
    }
    if (noted != 0) {
        std::raise(noted);
    }
}

bool GracefulEnd::signalled() const {
    return noted != 0;
}

// The C runtime keeps descriptors 0, 1 and 2 for the console even when it has none, so no
// file can take them.
ClosedStandardStreams reopenClosedStandardStreams() {
    return {};
}

void handleEndingSignals() {
    for (int signal : endingSignals) {
        if (std::signal(signal, endOnSignal) == SIG_IGN) {
            std::signal(signal, SIG_IGN);
        }
    }
}

EndingSignalsHeld::EndingSignalsHeld() {
    registration.enter();
}

EndingSignalsHeld::~EndingSignalsHeld() {
    registration.leave();
}

void registerTemporary(const Directory& directory, const std::filesystem::path& name,
                       FileHandle file) {
    const std::filesystem::path path = directory / name;
    wcsncpy(temporaryPath, path.c_str(), std::size(temporaryPath) - 1);
    temporaryFile = file;
}

void forgetTemporary() {
    temporaryPath[0] = L'\0';
    temporaryFile = invalidFile;
}

void removeTemporaryNow() noexcept {
    if (temporaryPath[0] != L'\0') {
        // An open file cannot be deleted on Windows.
        if (temporaryFile != invalidFile) {
            _close(temporaryFile);
        }
        DeleteFileW(temporaryPath);
    }
}

void writeToStandardError(std::string_view text) noexcept {
    _write(2, text.data(), static_cast<unsigned>(text.size()));
}

} // namespace pelitor::platform
