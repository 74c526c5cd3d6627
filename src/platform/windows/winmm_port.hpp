#pragma once

#include "platform/port.hpp"

#include <memory>
#include <optional>
#include <string>

namespace pelitor::platform {

// A MIDI output or input as WinMM numbers it, with its name for messages.
struct WinmmDevice {
    unsigned number = 0;
    std::string name;
};

// Opens the output and the input given (at least one); an output alone sends without hearing
// the answers, an input alone hears without sending. The failure says which would not open,
// and why.
Result<std::unique_ptr<Port>> openWinmmPort(const std::optional<WinmmDevice>& output,
                                            const std::optional<WinmmDevice>& input);

} // namespace pelitor::platform
