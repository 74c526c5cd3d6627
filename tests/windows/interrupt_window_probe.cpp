// Windows only, run under Wine by `make check-windows`: Ctrl-C that comes just after the named
// temporary file is created, before it is registered for removal. Windows runs the console's
// handler on a thread of its own, as here; the run must still leave nothing behind. Writes
// the file named by its argument in the current directory; ends by the signal, or with 1 if
// the signal never ended it.
#include "common/atomic_file.hpp"
#include "platform/platform.hpp"
#include "platform/process.hpp"

#include <csignal>
#include <thread>
#include <windows.h>

namespace {

namespace platform = pelitor::platform;

platform::FileHandle createThenInterrupt(const platform::Directory& directory,
                                         const std::filesystem::path& name) {
    const platform::FileHandle file = platform::createExclusive(directory, name);
    std::thread([] { std::raise(SIGINT); }).detach();
    Sleep(500); // the handler's thread runs now, unless it is kept out
    return file;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    platform::handleEndingSignals();
    pelitor::AtomicFileCalls calls;
    calls.createNamed = createThenInterrupt;
    pelitor::AtomicFile file(platform::toPath(argv[1]), calls);
    if (file.open(0)) {
        return 2;
    }
    Sleep(5000);
    return 1;
}
