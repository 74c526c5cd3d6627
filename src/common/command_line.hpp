#pragma once

#include "common/failure.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelitor {

// One option a program takes: `--name` and, where it has one, `-c`.
struct OptionDefinition {
    std::string_view longName; // without the dashes
    char shortName = 0;        // 0 where there is none
    bool takesValue = false;
};

struct GivenOption {
    const OptionDefinition* definition;
    std::string written; // as given, "--device" or "-d", for messages
    std::string value;
};

struct CommandLine {
    std::vector<GivenOption> options; // in the order given: a later one overrides an earlier
    std::vector<std::string> operands;
};

// Takes the arguments after the program's name. Options come first, as `--name VALUE`,
// `--name=VALUE`, `-c VALUE` or `-cVALUE`; `--` ends them, wherever it stands (a lone `-` is
// an operand). Anything that looks like an option after an operand is refused, since it would
// not apply: an unknown one as unknown, one of the program's own saying that options go
// before `operandsName`.
Result<CommandLine> parseCommandLine(std::span<const std::string> arguments,
                                     std::span<const OptionDefinition> definitions,
                                     std::string_view operandsName);

// A decimal number from `first` to `last` given with an option, or a usage failure naming the
// option, the value and the range: "--device 200: must be 0 to 127".
Result<std::uint32_t> optionNumber(const GivenOption& option, std::uint32_t first,
                                   std::uint32_t last);

} // namespace pelitor
