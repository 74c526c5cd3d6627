#pragma once

#include "platform/platform.hpp"

#include <cstddef>
#include <filesystem>
#include <string_view>

// What the process is started with and how it ends: the standard descriptors, the signals
// that end a run, and the temporary file that must not outlive it.
namespace pelitor::platform {

// Which of the standard descriptors 0, 1 and 2 were closed when the program started.
struct ClosedStandardStreams {
    bool input = false;
    bool output = false;
    bool errors = false;
};

// Opens the null device on each closed standard descriptor, so that no file the program
// opens can take a console's number and receive what is meant for the console.
ClosedStandardStreams reopenClosedStandardStreams();

// The one signal policy of every program, set up first thing: the signals that end a run (on
// POSIX HUP, INT, QUIT, TERM, ALRM, USR1, USR2, VTALRM, PROF and XCPU; on Windows INT, TERM
// and BREAK) remove the registered temporary file and the process dies of them, with their
// default action, so that a shell sees how it ended; a signal the caller ignored stays
// ignored. PIPE and XFSZ are ignored: a closed console pipe or an oversized file then shows as
// a failed write.
void handleEndingSignals();

// A part of a run that must end in its own time, such as a transfer that finishes the message
// on the wire, tells the receiver and gives a port back its settings. While it lives, the first
// ending signal that the policy handles is noted and wakes a MIDI port's wait instead of
// ending the process; when it goes, after what was made after it (the port) is gone, that
// signal ends the process as the policy says. One at a time.
class GracefulEnd {
  public:
    GracefulEnd();
    ~GracefulEnd();
    GracefulEnd(const GracefulEnd&) = delete;
    GracefulEnd& operator=(const GracefulEnd&) = delete;

    // Whether an ending signal has come.
    bool signalled() const;
};

// Holds the ending signals back while it lives, so that a temporary file is never created
// without being registered, nor put in place without being forgotten.
class EndingSignalsHeld {
  public:
    EndingSignalsHeld();
    ~EndingSignalsHeld();
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

  private:
    // The signal mask it gives back, where the system has one: room for a POSIX sigset_t.
    alignas(std::max_align_t) unsigned char previous_[128];
};

// Registers the temporary file that an ending signal or removeTemporaryNow removes (on
// Windows after closing `file`, which an open file needs there); forgetTemporary ends that.
void registerTemporary(const Directory& directory, const std::filesystem::path& name,
                       FileHandle file);
void forgetTemporary();

// For the last moments of a run that cannot go on: these neither allocate nor throw.
void removeTemporaryNow() noexcept;
void writeToStandardError(std::string_view text) noexcept;
[[noreturn]] void exitNow(int status) noexcept;

} // namespace pelitor::platform
