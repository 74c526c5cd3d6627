#pragma once

// POSIX only: pelitor-send is not built for Windows.

namespace pelitor::platform {

// While it lives, Ctrl-C (SIGINT), SIGTERM and SIGHUP do not end the program: they are noted,
// and wake anyone waiting on fd(), so that a transfer can finish the message on the wire, tell
// the receiver, and end in its own time. One at a time.
class InterruptWatch {
  public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // Readable once a signal has come.
    int fd() const;
    // The signal that came, or 0.
    int signal() const;
};

} // namespace pelitor::platform
