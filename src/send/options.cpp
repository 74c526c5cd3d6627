#include "send/options.hpp"

#include "app/loop_request.hpp"
#include "common/command_line.hpp"
#include "platform/midi_port.hpp"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

namespace pelitor::send {
namespace {

// The command line as it is taken apart: the options, and which tasks were asked for.
struct Given {
    SendOptions options;
    bool help = false;
    bool version = false;
    bool list = false;
    bool check = false;
};

using Apply = std::optional<Failure> (*)(const GivenOption&, Given&);

template <bool Given::*task>
constexpr Apply setTask = [](const GivenOption&, Given& given) {
    given.*task = true;
    return std::optional<Failure>();
};

constexpr HelpLine intervalHelp[] = {
    {"MS", "pause between packets when the sampler does not answer"},
    {"", "({range}, default {default})"}};
constexpr HelpLine retriesHelp[] = {{"N", "resends of a packet the sampler refuses"},
                                    {"", "({range}, default {default})"}};
constexpr HelpLine headerWaitHelp[] = {
    {"MS", "wait for an answer to the dump header before going on"},
    {"", "unanswered; longer for a sampler slow to make room"},
    {"", "({range}, default {default})"}};
constexpr HelpLine ackWaitHelp[] = {
    {"MS", "wait for an answer to a packet before taking silence as"},
    {"", "go on ({range}; default: the larger of 20 and -i,"},
    {"", "lengthened for a sampler seen answering late)"}};
constexpr HelpLine gapHelp[] = {{"MS", "least pause from one packet's end to the next, for a"},
                                {"", "sampler that garbles packets sent close together"},
                                {"", "({range}, default {default})"}};
constexpr HelpLine deviceHelp[] = {{"N", "device channel of every message sent and of the replies"},
                                   {"", "({range}, default: the file's)"}};

constexpr HelpLine inputHelp[] = {{"PORT", "hear the sampler on this port, for an interface whose"},
                                  {"", "MIDI IN is a port apart from its MIDI OUT"}};
constexpr HelpLine sampleNumberHelp[] = {{"N", "sample number (the slot) to fill, {range}"},
                                         {"", "(default: the .sds file's, 0 for a WAV file)"}};
constexpr HelpLine bitsHelp[] = {{"N", "a WAV file's words of N bits, {range}, as pelitor"},
                                 {"", "--bits makes them (default: the WAV's width)"}};

constexpr std::uint32_t millisecondsOf(std::chrono::milliseconds time) {
    return static_cast<std::uint32_t>(time.count());
}

constexpr Option<Given> table[] = {
    {{"interval", 'i', true, {0, 10000, millisecondsOf(defaultInterval)}, intervalHelp},
     storeNumber<Given,
                 [](std::uint32_t ms, Given& g) {
                     g.options.handshake.interval = std::chrono::milliseconds(ms);
                 }>},
    {{"retries", 'r', true, {0, 100, defaultRetries}, retriesHelp},
     storeNumber<Given,
                 [](std::uint32_t n, Given& g) {
                     g.options.handshake.retries = n;
                 }>},
    {{"header-wait", 0, true, {100, 60000, millisecondsOf(defaultHeaderWait)}, headerWaitHelp},
     storeNumber<Given,
                 [](std::uint32_t ms, Given& g) {
                     g.options.handshake.headerWait = std::chrono::milliseconds(ms);
                 }>},
    {{"ack-wait", 0, true, {1, 10000}, ackWaitHelp},
     storeNumber<Given,
                 [](std::uint32_t ms, Given& g) {
                     g.options.handshake.ackWait = std::chrono::milliseconds(ms);
                 }>},
    {{"gap", 0, true, {0, 10000, millisecondsOf(defaultGap)}, gapHelp},
     storeNumber<Given,
                 [](std::uint32_t ms, Given& g) {
                     g.options.handshake.gap = std::chrono::milliseconds(ms);
                 }>},
    {{"device", 'd', true, {0, 127}, deviceHelp},
     storeNumber<Given,
                 [](std::uint32_t n, Given& g) {
                     g.options.deviceChannel = static_cast<std::uint8_t>(n);
                 }>},
    {{"sample-number", 'n', true, sampleNumberNumber, sampleNumberHelp},
     storeNumber<Given,
                 [](std::uint32_t n, Given& g) {
                     g.options.sampleNumber = static_cast<std::uint16_t>(n);
                 }>},
    {{"input", 0, true, {}, inputHelp},
     [](const GivenOption& option, Given& given) {
         given.options.input = option.value;
         return std::optional<Failure>();
     }},
    {{"loop", 0, true, {}, loopHelp},
     [](const GivenOption& option, Given& given) {
         const auto loop = loopRequest(option);
         if (!loop) {
             return std::optional<Failure>(loop.failure());
         }
         given.options.wordShape.loop = *loop;
         return std::optional<Failure>();
     }},
    {{"bits", 0, true, wordBitsNumber, bitsHelp},
     storeNumber<Given,
                 [](std::uint32_t bits, Given& g) {
                     g.options.wordShape.bits = static_cast<std::uint8_t>(bits);
                 }>},
    {{"list"}, setTask<&Given::list>},
    {{"check"}, setTask<&Given::check>},
    {{"help", 'h'}, setTask<&Given::help>},
    {{"version", 'V'}, setTask<&Given::version>},
};
constexpr auto definitions = definitionsOf(table);

Failure usage(std::string message) {
    return {FailureKind::usage, std::move(message)};
}

bool endsInSds(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    std::string end(name.substr(name.size() - 4));
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == ".sds";
}

// "voice.sds hw:1,0": the file where the port belongs, as far as names show it.
bool swapped(std::string_view port, std::string_view file) {
    return (file.starts_with("hw:") && !port.starts_with("hw:")) ||
           (endsInSds(port) && !endsInSds(file));
}

} // namespace

std::string usageText() {
    return "usage: pelitor-send [options] PORT FILE...    send samples, one slot each\n"
           "       pelitor-send --list                    list the MIDI ports\n"
           "       pelitor-send --check FILE.sds          check a file without sending it\n"
           "       pelitor-send --help | --version\n"
           "\n" +
           std::string(platform::midiPortHelp()) +
           "Each FILE is a sample dump (.sds) or a WAV file, converted in memory as pelitor\n"
           "converts it (--loop and --bits as there). With -n N the first file goes to\n"
           "sample N, the next to N+1 and so on; without it, each keeps its own number (a\n"
           "WAV file's is 0).\n"
           "\n"
           "options:\n" +
           optionHelp(definitions, 24) +
           "  --                    end the options (for a file name that starts with -)\n";
}

Result<SendOptions> parseSendOptions(std::span<const std::string> arguments) {
    const auto line =
        parseCommandLine(arguments, definitions, "PORT and FILE", "pelitor-send PORT -- {}");
    if (!line) {
        return line.failure();
    }
    Given given;
    if (auto failure = applyOptions(*line, definitions, table, given)) {
        return *failure;
    }
    auto [options, help, version, list, check] = given;
    if (list && check) {
        return usage("--list and --check: one at a time");
    }
    options.task = help      ? SendOptions::help
                   : version ? SendOptions::version
                   : list    ? SendOptions::list
                   : check   ? SendOptions::check
                             : SendOptions::send;
    const std::size_t operands = line->operands.size();
    switch (options.task) {
    case SendOptions::send:
        if (operands < 2) {
            return usage("PORT and FILE expected (see --help)");
        }
        options.port = line->operands[0];
        options.files.assign(line->operands.begin() + 1, line->operands.end());
        if (operands == 2 && swapped(options.port, options.files[0])) {
            return usage("PORT comes first, then FILE: pelitor-send " + options.files[0] + " " +
                         options.port);
        }
        if (options.sampleNumber &&
            *options.sampleNumber + options.files.size() - 1 > sampleNumberNumber.last) {
            return usage("-n " + std::to_string(*options.sampleNumber) + ": " +
                         std::to_string(options.files.size()) + " files would go up to sample " +
                         std::to_string(*options.sampleNumber + options.files.size() - 1) +
                         ", past " + std::to_string(sampleNumberNumber.last));
        }
        break;
    case SendOptions::check:
        if (operands != 1) {
            return usage("--check: one FILE.sds expected");
        }
        options.files = {line->operands[0]};
        break;
    case SendOptions::list:
        if (operands != 0) {
            return usage("--list: takes no operands");
        }
        break;
    case SendOptions::help:
    case SendOptions::version:
        break;
    }
    return options;
}

} // namespace pelitor::send
