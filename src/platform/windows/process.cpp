#include "platform/process.hpp"

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

// Windows runs this on a thread of its own, while the program goes on writing.
void endOnSignal(int signal) {
    removeTemporaryNow();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

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

EndingSignalsHeld::EndingSignalsHeld() = default;
EndingSignalsHeld::~EndingSignalsHeld() = default;

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
