#include "app/invocation.hpp"

#include "common/command_line.hpp"
#include "platform/terminal.hpp"
#include "sds/seven_bit.hpp"

namespace pelitor {
namespace {

constexpr OptionDefinition optionSpecs[] = {
    {"device", 'd', true}, {"sample-number", 'n', true}, {"loop", 0, true},
    {"output", 'o', true}, {"help", 'h', false},         {"version", 'V', false},
};

constexpr std::uint8_t lastDeviceChannel = 127;
constexpr std::uint16_t lastSampleNumber = 16383;
constexpr std::uint32_t lastWord = maxSevenBitTriple - 1;

Failure usage(std::string message) {
    return {FailureKind::usage, std::move(message)};
}

// "off", "wav" or "START:END", word numbers counted from 0 and both included.
Result<LoopRequest> loopRequest(const GivenOption& option) {
    using Kind = LoopRequest::Kind;
    const std::string& value = option.value;
    if (value == "off") {
        return LoopRequest{Kind::off};
    }
    if (value == "wav") {
        return LoopRequest{Kind::wav};
    }
    const std::size_t colon = value.find(':');
    const auto word = [&](std::string text) {
        return optionNumber({option.definition, option.written, std::move(text)}, 0, lastWord);
    };
    const auto start = word(value.substr(0, colon));
    const auto end = word(colon == std::string::npos ? "" : value.substr(colon + 1));
    if (!start || !end) {
        return usage(option.written + " " + value + ": must be off, wav or START:END (words 0 to " +
                     std::to_string(lastWord) + ")");
    }
    if (*start > *end) {
        return usage(option.written + " " + value + ": START must not come after END");
    }
    return LoopRequest{Kind::points, *start, *end};
}

// Applies one option; a later one overrides an earlier.
std::optional<Failure> apply(const GivenOption& option, Invocation& invocation) {
    const std::string_view name = option.definition->longName;
    ConversionOptions& options = invocation.options;
    if (name == "device") {
        const auto channel = optionNumber(option, 0, lastDeviceChannel);
        if (!channel) {
            return channel.failure();
        }
        options.deviceChannel = static_cast<std::uint8_t>(*channel);
    } else if (name == "sample-number") {
        const auto number = optionNumber(option, 0, lastSampleNumber);
        if (!number) {
            return number.failure();
        }
        options.sampleNumber = static_cast<std::uint16_t>(*number);
    } else if (name == "loop") {
        const auto loop = loopRequest(option);
        if (!loop) {
            return loop.failure();
        }
        options.loop = *loop;
    } else if (name == "output") {
        if (option.value.empty()) {
            return usage(option.written + ": needs a file or directory name");
        }
        invocation.output = option.value;
    }
    return std::nullopt;
}

} // namespace

Result<Invocation> parseInvocation(std::span<const std::string> arguments) {
    Invocation invocation;
    if (arguments.empty()) {
        return invocation;
    }
    if (platform::isHelpSwitch(arguments.front())) {
        invocation.request = Invocation::Request::help;
        return invocation;
    }
    const auto line = parseCommandLine(arguments, optionSpecs, "the file name");
    if (!line) {
        return line.failure();
    }
    // --help and --version answer at once, whatever else is given.
    for (const GivenOption& option : line->options) {
        if (option.definition->longName == "help") {
            invocation.request = Invocation::Request::help;
            return invocation;
        }
        if (option.definition->longName == "version") {
            invocation.request = Invocation::Request::version;
            return invocation;
        }
    }
    for (const GivenOption& option : line->options) {
        if (auto failure = apply(option, invocation)) {
            return *failure;
        }
    }
    if (line->operands.empty()) {
        return usage("no WAV file named after the options; usage: pelitor [options] WavFile");
    }
    invocation.request = Invocation::Request::convert;
    invocation.input = line->operands.front();
    invocation.ignoredArguments = line->operands.size() - 1;
    return invocation;
}

const std::string_view helpText =
    "usage: pelitor [options] WavFile\n"
    "Writes the WAV file's samples as a MIDI Sample Dump (.sds) beside it.\n"
    "  -d, --device N          device channel 0 to 127 in every message (default 0)\n"
    "  -n, --sample-number N   sample number (the slot) 0 to 16383 (default 0)\n"
    "      --loop off          no loop (loop type 7F)\n"
    "      --loop START:END    a forward loop over the sample words START to END\n"
    "      --loop wav          the first loop of the WAV file's smpl chunk\n"
    "  -o, --output PATH       write the .sds to PATH, or into PATH if a directory\n"
    "  -h, --help              show this help\n"
    "  -V, --version           show the version\n"
    "  --                      end the options (for a file name that starts with -)\n"
    "Options come before the file name; only one file is converted per run.\n"
    "Exit statuses:\n"
    "  0   converted, or this help shown\n"
    "  1   the sample buffer could not be allocated\n"
    "  3   out of memory elsewhere\n"
    "  64  the command line is wrong\n"
    "  65  the input is not a WAV file that SDS can carry, or its loop does not fit\n"
    "  66  the input cannot be opened or read\n"
    "  73  the output cannot be created\n"
    "  74  writing the output failed\n";

} // namespace pelitor
