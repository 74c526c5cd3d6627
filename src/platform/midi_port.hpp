#pragma once

// POSIX only: pelitor-send is not built for Windows.

#include "common/failure.hpp"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace pelitor::platform {

// A MIDI port opened by its device file: an ALSA raw MIDI device, a serial terminal or a
// pseudo-terminal. A terminal is switched to raw bytes while it is open and given back its
// settings when it is closed.
class MidiPort {
  public:
    // Opens a character device for reading and writing; the failure's message says why not
    // and, where it can, what to do about it.
    static Result<MidiPort> open(const std::string& path);

    MidiPort(MidiPort&& other) noexcept;
    MidiPort& operator=(MidiPort&&) = delete;
    ~MidiPort();

    // Puts every byte into the system's output buffer; a message is never cut short, not even
    // by Ctrl-C.
    std::optional<Failure> write(std::span<const std::uint8_t> bytes);

    // Waits until what was written has left the port. False where the device offers no such
    // wait: the caller then reckons the time the bytes take on the wire.
    Result<bool> drain();

    // Waits for incoming bytes until `timeout` (none: without limit) or until `wakeFd` is
    // readable. True when there are bytes to read.
    Result<bool> waitForInput(std::optional<std::chrono::nanoseconds> timeout, int wakeFd);

    // Reads what has come in, without waiting; 0 when nothing has.
    Result<std::size_t> read(std::span<std::uint8_t> into);

    // Drops whatever came in before the transfer, so that no old reply is taken for a new one.
    void discardInput();

  private:
    struct SavedTerminal;
    enum class Kind { alsa, terminal, other };

    MidiPort(int fd, Kind kind, std::unique_ptr<SavedTerminal> saved);
    Failure failed(const char* doing) const;

    int fd_ = -1;
    Kind kind_ = Kind::other;
    std::unique_ptr<SavedTerminal> saved_;
};

} // namespace pelitor::platform
