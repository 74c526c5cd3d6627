#pragma once

#include "platform/port.hpp"

#include <memory>
#include <string>
#include <vector>

namespace pelitor::platform {

// A raw MIDI port that alsa-lib opens by its ALSA name (hw:1,0, hw:1,0,2, hw:UM1,0), with the
// library's own drain. In a build without alsa-lib every name is refused with the reason.
class AlsaMidiPort final : public Port {
  public:
    static Result<std::unique_ptr<Port>> open(const std::string& name);

    ~AlsaMidiPort() override;

    std::optional<Failure> write(std::span<const std::uint8_t> bytes) override;
    Result<bool> drain() override;
    Result<bool> waitForInput(std::optional<std::chrono::nanoseconds> timeout) override;
    Result<std::size_t> read(std::span<std::uint8_t> into) override;
    void discardInput() override;

  private:
    struct Streams;

    explicit AlsaMidiPort(std::unique_ptr<Streams> streams);

    std::unique_ptr<Streams> streams_;
};

// One subdevice of a raw MIDI device, as the sound cards' control interfaces describe it.
struct RawMidiPort {
    unsigned card = 0;
    unsigned device = 0;
    unsigned subdevice = 0;
    unsigned subdevices = 1; // of the device
    bool input = false;
    bool output = false;
    std::string name;
};

// Every raw MIDI subdevice of every sound card, in card, device and subdevice order; a failure
// where this build has no alsa-lib.
Result<std::vector<RawMidiPort>> rawMidiPorts();

} // namespace pelitor::platform
