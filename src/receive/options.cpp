#include "receive/options.hpp"

#include "common/command_line.hpp"
#include "platform/midi_port.hpp"
#include "receive/output_names.hpp"

namespace pelitor::receive {
namespace {

// The command line as it is taken apart: the options, and which tasks were asked for.
struct Given {
    ReceiveOptions options;
    bool file = false;
    bool portOptions = false; // an option that only receiving from a port takes
    bool help = false;
    bool version = false;
    bool list = false;
};

using Apply = std::optional<Failure> (*)(const GivenOption&, Given&);

template <bool Given::*flag>
constexpr Apply setFlag = [](const GivenOption&, Given& given) {
    given.*flag = true;
    return std::optional<Failure>();
};

constexpr HelpLine fileHelp[] = {{"", "decode the dumps kept in the file DUMP"}};
constexpr HelpLine listenHelp[] = {{"", "wait for the dump the sampler is made to send,"},
                                   {"", "instead of asking for one"}};
constexpr HelpLine inputHelp[] = {{"PORT", "take the dump in on this port, for an interface"},
                                  {"", "whose MIDI IN is a port apart from its MIDI OUT"}};
constexpr HelpLine sampleHelp[] = {{"N", "the sample to ask for ({range}, default {default})"}};
constexpr HelpLine deviceHelp[] = {{"N", "device channel of the request and of every answer"},
                                   {"", "({range}, default 0; with --listen, the dump's)"}};
constexpr HelpLine retriesHelp[] = {{"N", "NAKs for one damaged packet before the dump is"},
                                    {"", "given up ({range}, default {default})"}};
constexpr HelpLine headerWaitHelp[] = {{"MS", "wait for the dump header after each request"},
                                       {"", "({range}, default {default})"}};
constexpr HelpLine packetWaitHelp[] = {{"MS", "wait for the next packet before the sampler is"},
                                       {"", "taken as stopped ({range}, default {default})"}};

constexpr ReceiveSettings defaults;
constexpr auto defaultMs = [](std::chrono::milliseconds wait) {
    return static_cast<std::uint32_t>(wait.count());
};

// Stores a number an option gives into the settings, and notes that the option was given.
template <auto store>
constexpr Apply setting = [](const GivenOption& option, Given& given) -> std::optional<Failure> {
    const auto number = optionNumber(option);
    if (!number) {
        return number.failure();
    }
    store(*number, given.options.settings);
    given.portOptions = true;
    return std::nullopt;
};
constexpr HelpLine keepDamagedHelp[] = {{"", "write the WAV even when packets are damaged or"},
                                        {"", "missing (their words as received, or silence),"},
                                        {"", "with a warning for each"}};

constexpr Option<Given> table[] = {
    {{"file", 0, false, {}, fileHelp}, setFlag<&Given::file>},
    {{"listen", 0, false, {}, listenHelp},
     [](const GivenOption&, Given& given) {
         given.options.settings.listen = true;
         given.portOptions = true;
         return std::optional<Failure>();
     }},
    {{"input", 0, true, {}, inputHelp},
     [](const GivenOption& option, Given& given) {
         given.options.input = option.value;
         given.portOptions = true;
         return std::optional<Failure>();
     }},
    {{"sample-number", 'n', true, {0, 16383, defaults.sampleNumber}, sampleHelp},
     setting<[](std::uint32_t n, ReceiveSettings& s) {
         s.sampleNumber = static_cast<std::uint16_t>(n);
     }>},
    {{"device", 'd', true, {0, 127}, deviceHelp}, setting<[](std::uint32_t n, ReceiveSettings& s) {
         s.deviceChannel = static_cast<std::uint8_t>(n);
     }>},
    {{"retries", 'r', true, {0, 100, defaults.retries}, retriesHelp},
     setting<[](std::uint32_t n, ReceiveSettings& s) {
         s.retries = n;
     }>},
    {{"header-wait", 0, true, {100, 60000, defaultMs(defaults.headerWait)}, headerWaitHelp},
     setting<[](std::uint32_t ms, ReceiveSettings& s) {
         s.headerWait = std::chrono::milliseconds(ms);
     }>},
    {{"packet-wait", 0, true, {100, 60000, defaultMs(defaults.packetWait)}, packetWaitHelp},
     setting<[](std::uint32_t ms, ReceiveSettings& s) {
         s.packetWait = std::chrono::milliseconds(ms);
     }>},
    {{"keep-damaged", 0, false, {}, keepDamagedHelp},
     [](const GivenOption&, Given& given) {
         given.options.settings.keepDamaged = true;
         return std::optional<Failure>();
     }},
    {{"list"}, setFlag<&Given::list>},
    {{"help", 'h'}, setFlag<&Given::help>},
    {{"version", 'V'}, setFlag<&Given::version>},
};
constexpr auto definitions = definitionsOf(table);

Failure usage(std::string message) {
    return {FailureKind::usage, std::move(message)};
}

} // namespace

std::string usageText() {
    return "usage: pelitor-receive [options] PORT [OUTPUT]           ask for a sample\n"
           "       pelitor-receive --listen [options] PORT [OUTPUT]  take the dump it sends\n"
           "       pelitor-receive --file [options] DUMP [OUTPUT]    decode a dump file\n"
           "       pelitor-receive --list                            list the MIDI ports\n"
           "       pelitor-receive --help | --version\n"
           "\n" +
           std::string(platform::midiPortHelp()) +
           "An OUTPUT ending in .sds or .syx gets the dump's own messages, any other a WAV\n"
           "file; an existing directory gets the default name inside. Without OUTPUT,\n"
           "sample-N.wav in the current directory (N the dump's sample number), or for\n"
           "--file DUMP's name with .wav for its extension, beside it; a file with several\n"
           "dumps gives NAME-1.wav, NAME-2.wav, and so on. A default name never replaces a\n"
           "file.\n"
           "\n"
           "options:\n" +
           optionHelp(definitions, 26);
}

Result<ReceiveOptions> parseReceiveOptions(std::span<const std::string> arguments) {
    const auto line = parseCommandLine(arguments, definitions, "PORT or DUMP, and OUTPUT");
    if (!line) {
        return line.failure();
    }
    Given given;
    if (auto failure = applyOptions(*line, definitions, table, given)) {
        return *failure;
    }
    auto [options, file, portOptions, help, version, list] = given;
    if (list && file) {
        return usage("--list and --file: one at a time");
    }
    options.task = help      ? ReceiveOptions::help
                   : version ? ReceiveOptions::version
                   : list    ? ReceiveOptions::list
                   : file    ? ReceiveOptions::file
                             : ReceiveOptions::receive;
    const std::size_t operands = line->operands.size();
    if (operands == 2) {
        options.output = line->operands[1];
    }
    if (options.settings.keepDamaged && options.output && isSdsName(*options.output)) {
        return usage("--keep-damaged: writes WAV files only, and " + *options.output +
                     " would get the dump's messages");
    }
    switch (options.task) {
    case ReceiveOptions::receive:
        if (operands == 0) {
            return usage("PORT [OUTPUT] expected (see --help)");
        }
        if (operands > 2) {
            return usage("too many operands: PORT [OUTPUT] expected");
        }
        options.port = line->operands[0];
        break;
    case ReceiveOptions::file:
        if (portOptions) {
            return usage("--file: decodes a file, and takes no options of a port");
        }
        if (operands == 0) {
            return usage("--file DUMP [OUTPUT] expected (see --help)");
        }
        if (operands > 2) {
            return usage("too many operands: --file DUMP [OUTPUT] expected");
        }
        options.dump = line->operands[0];
        break;
    case ReceiveOptions::list:
        if (operands != 0) {
            return usage("--list: takes no operands");
        }
        break;
    case ReceiveOptions::help:
    case ReceiveOptions::version:
        break;
    }
    return options;
}

} // namespace pelitor::receive
