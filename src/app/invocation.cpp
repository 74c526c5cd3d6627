#include "app/invocation.hpp"

#include "app/loop_request.hpp"
#include "common/command_line.hpp"
#include "platform/terminal.hpp"

namespace pelitor {
namespace {

Failure usage(std::string message) {
    return {FailureKind::usage, std::move(message)};
}

using Apply = std::optional<Failure> (*)(const GivenOption&, Invocation&);

constexpr Apply setLoop = [](const GivenOption& option, Invocation& invocation) {
    const auto loop = loopRequest(option);
    if (!loop) {
        return std::optional<Failure>(loop.failure());
    }
    invocation.options.loop = *loop;
    return std::optional<Failure>();
};

constexpr Apply setOutput = [](const GivenOption& option, Invocation& invocation) {
    if (option.value.empty()) {
        return std::optional<Failure>(usage(option.written + ": needs a file or directory name"));
    }
    invocation.output = option.value;
    return std::optional<Failure>();
};

template <Invocation::Request request>
constexpr Apply answer = [](const GivenOption&, Invocation& invocation) {
    invocation.request = request;
    return std::optional<Failure>();
};

constexpr HelpLine deviceHelp[] = {
    {"N", "device channel {range} in every message (default {default})"}};
constexpr HelpLine sampleNumberHelp[] = {
    {"N", "sample number (the slot) {range} (default {default})"}};
constexpr HelpLine bitsHelp[] = {{"N", "N-bit words, {range} (default: the WAV's width);"},
                                 {"", "narrower ones are the samples rounded to the nearest,"},
                                 {"", "without dither: to dither, first run sox in.wav -b 16"},
                                 {"", "out.wav dither -p 12, then pelitor --bits 12 out.wav"}};
constexpr HelpLine outputHelp[] = {{"PATH", "write the .sds to PATH, or into PATH if a directory"}};
constexpr HelpLine quietHelp[] = {{"", "nothing on standard output but \"bad new!!\" (no"},
                                  {"", "banner, listing or marks); warnings and errors as"},
                                  {"", "always"}};
constexpr HelpLine helpHelp[] = {{"", "show this help"}};
constexpr HelpLine versionHelp[] = {{"", "show the version"}};

// Each option once; a later one overrides an earlier. Help and version answer at once,
// whatever else is given.
constexpr Option<Invocation> table[] = {
    {{"device", 'd', true, deviceChannelNumber, deviceHelp},
     storeNumber<Invocation,
                 [](std::uint32_t channel, Invocation& invocation) {
                     invocation.options.deviceChannel = static_cast<std::uint8_t>(channel);
                 }>},
    {{"sample-number", 'n', true, sampleNumberNumber, sampleNumberHelp},
     storeNumber<Invocation,
                 [](std::uint32_t number, Invocation& invocation) {
                     invocation.options.sampleNumber = static_cast<std::uint16_t>(number);
                 }>},
    {{"loop", 0, true, {}, loopHelp}, setLoop},
    {{"bits", 0, true, wordBitsNumber, bitsHelp},
     storeNumber<Invocation,
                 [](std::uint32_t bits, Invocation& invocation) {
                     invocation.options.bits = static_cast<std::uint8_t>(bits);
                 }>},
    {{"output", 'o', true, {}, outputHelp}, setOutput},
    {{"quiet", 'q', false, {}, quietHelp},
     [](const GivenOption&, Invocation& invocation) {
         invocation.quiet = true;
         return std::optional<Failure>();
     }},
    {{"help", 'h', false, {}, helpHelp}, answer<Invocation::Request::help>},
    {{"version", 'V', false, {}, versionHelp}, answer<Invocation::Request::version>},
};
constexpr auto definitions = definitionsOf(table);

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
    const auto line = parseCommandLine(arguments, definitions, "the file name", "pelitor -- {}");
    if (!line) {
        return line.failure();
    }
    for (const GivenOption& option : line->options) {
        if (!option.definition->takesValue) {
            optionOf(option, definitions, table).apply(option, invocation);
            if (invocation.request != Invocation::Request::usage) {
                return invocation;
            }
        }
    }
    if (auto failure = applyOptions(*line, definitions, table, invocation)) {
        return *failure;
    }
    if (line->operands.empty()) {
        return usage("no WAV file named after the options; usage: pelitor [options] WavFile");
    }
    invocation.request = Invocation::Request::convert;
    invocation.input = line->operands.front();
    invocation.ignoredArguments = line->operands.size() - 1;
    return invocation;
}

std::string helpText() {
    return "usage: pelitor [options] WavFile\n"
           "Writes the WAV file's samples as a MIDI Sample Dump (.sds) beside it.\n" +
           optionHelp(definitions, 26) +
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
}

} // namespace pelitor
