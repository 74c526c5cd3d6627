#pragma once

#include "common/failure.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelitor {

// One line of --help: the value as written after the option's names, and what it does. A line
// after the first that has no value continues the one above it. In the text, "{range}" stands
// for "FIRST to LAST" of the option's number and "{default}" for its default.
struct HelpLine {
    std::string_view value;
    std::string_view text;
};

// A number an option takes: from `first` to `last`, `byDefault` when the option is not given.
struct NumberRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    std::uint32_t byDefault = 0;
};

// One option a program takes: `--name` and, where it has one, `-c`.
struct OptionDefinition {
    std::string_view longName; // without the dashes
    char shortName = 0;        // 0 where there is none
    bool takesValue = false;
    NumberRange number{};             // where the value is a number
    std::span<const HelpLine> help{}; // none: not listed
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
// before `operandsName`. The program may add its own words to the refusal of an unknown
// option, given the whole argument (how to give a file name that starts with `-`).
using UnknownOptionHint = std::string (*)(std::string_view argument);
Result<CommandLine> parseCommandLine(std::span<const std::string> arguments,
                                     std::span<const OptionDefinition> definitions,
                                     std::string_view operandsName,
                                     UnknownOptionHint unknownHint = nullptr);

// A decimal number from `first` to `last` given with an option, or a usage failure naming the
// option, the value and the range: "--device 200: must be 0 to 127".
Result<std::uint32_t> optionNumber(const GivenOption& option, std::uint32_t first,
                                   std::uint32_t last);
// The same, in the range the option's definition gives.
Result<std::uint32_t> optionNumber(const GivenOption& option);

// The --help lines of the listed options, each text starting at `column`.
std::string optionHelp(std::span<const OptionDefinition> definitions, std::size_t column);

// An option together with what it does to the program's `Target`, so that a program defines
// each of its options in one place.
template <typename Target> struct Option {
    OptionDefinition definition;
    std::optional<Failure> (*apply)(const GivenOption& option, Target& target);
};

// What a number option does: its value, once in range, goes to `store`.
template <typename Target, void (*store)(std::uint32_t, Target&)>
std::optional<Failure> storeNumber(const GivenOption& option, Target& target) {
    const auto number = optionNumber(option);
    if (!number) {
        return number.failure();
    }
    store(*number, target);
    return std::nullopt;
}

// The definitions of a program's options, for the parser and the help.
template <typename Target, std::size_t count>
constexpr std::array<OptionDefinition, count>
definitionsOf(const Option<Target> (&options)[count]) {
    std::array<OptionDefinition, count> definitions{};
    for (std::size_t index = 0; index < count; ++index) {
        definitions[index] = options[index].definition;
    }
    return definitions;
}

// The entry of `options` that a given option names; `definitions` are those the line was
// parsed with, from definitionsOf(options).
template <typename Target, std::size_t count>
const Option<Target>& optionOf(const GivenOption& given,
                               const std::array<OptionDefinition, count>& definitions,
                               const Option<Target> (&options)[count]) {
    return options[static_cast<std::size_t>(given.definition - definitions.data())];
}

// Applies the given options in the order given, each with its own function; the first failure
// ends it.
template <typename Target, std::size_t count>
std::optional<Failure> applyOptions(const CommandLine& line,
                                    const std::array<OptionDefinition, count>& definitions,
                                    const Option<Target> (&options)[count], Target& target) {
    for (const GivenOption& given : line.options) {
        if (auto failure = optionOf(given, definitions, options).apply(given, target)) {
            return failure;
        }
    }
    return std::nullopt;
}

} // namespace pelitor
