#pragma once

#include "platform/port.hpp"

#include <memory>
#include <utility>

namespace pelitor::platform {

// Messages out through one port and answers in through another, for an interface whose MIDI
// OUT and MIDI IN are ports of their own (--input).
class SplitPort final : public Port {
  public:
    SplitPort(std::unique_ptr<Port> output, std::unique_ptr<Port> input)
        : output_(std::move(output)), input_(std::move(input)) {}

    std::optional<Failure> write(std::span<const std::uint8_t> bytes) override {
        return output_->write(bytes);
    }
    Result<bool> drain() override { return output_->drain(); }
    Result<bool> waitForInput(std::optional<std::chrono::nanoseconds> timeout) override {
        return input_->waitForInput(timeout);
    }
    Result<std::size_t> read(std::span<std::uint8_t> into) override { return input_->read(into); }
    void discardInput() override { input_->discardInput(); }

  private:
    std::unique_ptr<Port> output_;
    std::unique_ptr<Port> input_;
};

} // namespace pelitor::platform
