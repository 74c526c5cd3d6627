#pragma once

#include "platform/port.hpp"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelitor::platform {

// What a run asks of the MIDI port it opens.
struct PortRequest {
    std::string port{};                 // PORT, as given
    std::optional<std::string> input{}; // --input: the port the answers come from, if not PORT's
    bool needsOutput = true;            // false for a run that only listens
    bool needsInput = false;            // true for a run that must hear the sampler
};

// A PORT that starts with / or . is the path of a device file; any other is an ALSA name.
constexpr bool namesDeviceFile(std::string_view port) {
    return port.starts_with('/') || port.starts_with('.');
}

// The port a request names: on POSIX systems a device file (MidiPort) or an ALSA raw MIDI port
// (AlsaMidiPort), on Windows a WinMM output and input by name or number. The failure's message
// says why not and, where it can, what to do about it.
Result<std::unique_ptr<Port>> openMidiPort(const PortRequest& request);

// --list's lines: the ports this system has, as PORT names them; a failure where it has none.
Result<std::vector<std::string>> midiPortListing();

// --help's lines on what PORT is on this system.
std::string_view midiPortHelp();

// A MIDI port opened by its device file: an ALSA raw MIDI device, a serial terminal or a
// pseudo-terminal. A terminal is switched to raw bytes while it is open and given back its
// settings when it is closed.
class MidiPort final : public Port {
  public:
    // Opens a character device for reading and writing; the failure's message says why not
    // and, where it can, what to do about it.
    static Result<MidiPort> open(const std::string& path);

    MidiPort(MidiPort&& other) noexcept;
    MidiPort& operator=(MidiPort&&) = delete;
    ~MidiPort() override;

    std::optional<Failure> write(std::span<const std::uint8_t> bytes) override;
    Result<bool> drain() override;
    Result<bool> waitForInput(std::optional<std::chrono::nanoseconds> timeout) override;
    Result<std::size_t> read(std::span<std::uint8_t> into) override;
    void discardInput() override;

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
